"""What the program writes beside its images, read back independently: the
record (-m) and the CSV log of its jobs (-l)."""
import csv
import hashlib
import io
import json
from pathlib import Path

RECORD_FIELDS = ["image", "note", "result", "geometry", "media", "sectors", "unreadable_sectors", "md5", "sha1",
                 "sha256", "sha512", "image_sha256", "runs"]


def record_problems(work, image, raw, note, *jobs):
    """What in the record beside IMAGE differs from the raw disk, the image
    file, the note and the jobs of its runs ("" when all agree); paths in WORK."""
    fields = json.loads((work / image).with_suffix(".json").read_text())
    data, problems = (work / raw).read_bytes(), []
    if list(fields) != RECORD_FIELDS:
        problems.append("fields %s" % list(fields))
    for name in ("md5", "sha1", "sha256", "sha512"):
        if fields.get(name) != hashlib.new(name, data).hexdigest():
            problems.append(name)
    if fields.get("image_sha256") != hashlib.sha256((work / image).read_bytes()).hexdigest():
        problems.append("image_sha256")
    if fields.get("note") != note or fields.get("image") != image:
        problems.append("note %r, image %r" % (fields.get("note"), fields.get("image")))
    if [run.get("job") for run in fields.get("runs", [])] != list(jobs):
        problems.append("runs %s" % fields.get("runs"))
    return "; ".join(problems)


def log_rows(path, pick=lambda row: row[2:]):
    """Each row of a CSV log as the fields PICK takes (all but the times by
    default) joined by |; None unless every line ends in CR LF."""
    text = Path(path).read_bytes().decode()
    if text.replace("\r\n", "").count("\n") or not text.endswith("\r\n"):
        return None
    return ["|".join(pick(row)) for row in csv.reader(io.StringIO(text, newline=""), strict=True)]


def sha256(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()
