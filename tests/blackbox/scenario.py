"""The scenario table: each scenario is a function registered with the
back-ends that serve it and the parameters it runs for, and it is handed a
Test: the checks, the back-end to run the program on, and the fixtures."""
import os
from dataclasses import dataclass
from pathlib import Path

import disk
import expected
import image_file
from checks import Checks

SCENARIOS = []


@dataclass
class Scenario:
    name: str
    group: str  # the module it stands in: one area of the program
    backends: tuple
    function: object
    params: tuple

    def cases(self):
        """(case name, arguments) for each run: the docstring's first line
        names the case, {} standing for the parameter."""
        title = (self.function.__doc__ or self.name).strip().splitlines()[0]
        if self.params == (None,):
            return [(title, ())]
        return [(title.format(param), (param,)) for param in self.params]


def scenario(*backends, params=(None,)):
    """Registers the function as a scenario those back-ends serve, once per parameter."""
    def register(function):
        group = function.__module__.rsplit(".", 1)[-1]
        SCENARIOS.append(Scenario(function.__name__, group, backends, function, tuple(params)))
        return function
    return register


class Test(Checks):
    def __init__(self, backend):
        super().__init__()
        self.backend = backend

    def expect_stdout(self, result, text):
        """Text in the back-end's line ends; bytes as they are."""
        super().expect_stdout(result, text.replace("\n", self.backend.newline) if isinstance(text, str) else text)

    def expect_stderr_lines(self, result, *lines):
        carriage_return = self.backend.newline[:-1]  # what stands before each "\n"
        super().expect_stderr_lines(result, *(line + carriage_return for line in lines))

    def run(self, *args, **options):
        """The program with those arguments; options as Backend.run takes them."""
        return self.backend.run(self.work, "mendarovel", args, **options)

    def run_tool(self, *args, **options):
        return self.backend.run(self.work, "mendarovel-image", args, **options)

    def write(self, name, data):
        path = self.path(name)
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data.encode() if isinstance(data, str) else data)
        return name

    def read(self, name):
        return self.path(name).read_bytes()

    def size(self, name):
        """The file's size in bytes, None when there is no such file."""
        return self.path(name).stat().st_size if self.path(name).exists() else None

    def disk(self, name, size, seed=None):
        """A disk file of SIZE bytes whose sectors all differ."""
        return self.write(name, disk.pattern(size, seed or size))

    def blank(self, name, size):
        return self.write(name, bytes(size))

    def image_of(self, disk_name, image_name, unreadable=()):
        """The image -i makes of the disk, built independently of the program;
        returns the lines -i prints on its sizes."""
        raw = self.read(disk_name)
        image = image_file.of_disk(raw)
        packed = len(image) - expected.IMAGE_OVERHEAD
        if unreadable:
            image = image_file.with_unreadable(image, unreadable)
        self.write(image_name, image)
        return expected.imaged(len(raw), packed, len(image))

    def expansion(self, image_name, disk_name):
        """The line of -d that expands that image back to that disk."""
        return expected.expanded(os.path.getsize(self.path(image_name)), os.path.getsize(self.path(disk_name)))


def load():
    """Imports every module of scenarios/, which registers what it holds."""
    for module in sorted(Path(__file__).with_name("scenarios").glob("*.py")):
        __import__("scenarios." + module.stem)
    return SCENARIOS
