"""FAT disks for the image tool's checks: where a file lies on the disk, the
file as extract writes it when a sector was lost, and names written into a
directory by hand."""


def file_sector(whole, data):
    """The sector of the disk six tenths into the file, which the disk holds in one run."""
    start = whole.find(data[:65536])
    assert start >= 0 and whole[start:start + len(data)] == data
    return (start + len(data) * 6 // 10) // 512


def zeroed(whole, data, sector):
    """The file as extract writes it when that sector of the disk was lost: zeros there."""
    start = whole.find(data[:65536])
    assert start >= 0
    offset = max(sector * 512 - start, 0)
    end = min(sector * 512 + 512 - start, len(data))
    return data[:offset] + bytes(max(end - offset, 0)) + data[end:]


def rename_entry(whole, old, new):
    """The disk with a long file name rewritten (up to 13 characters, same length)."""
    def slots(name):
        chars = (name + "\0" + "\uffff" * 12)[:13].encode("utf-16-le")
        return chars[0:10], chars[10:22], chars[22:26]
    data = bytearray(whole)
    first, middle, last = slots(old)
    at = data.find(first) - 1
    while at >= 0 and (data[at + 14:at + 26] != middle or data[at + 28:at + 32] != last):
        at = data.find(first, at + 2) - 1
    assert at >= 0, old
    new_first, new_middle, new_last = slots(new)
    data[at + 1:at + 11], data[at + 14:at + 26], data[at + 28:at + 32] = new_first, new_middle, new_last
    return bytes(data)
