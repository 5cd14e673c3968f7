"""The bytes the test disks hold."""
import random


def pattern(size, seed):
    """Sectors that all differ, half of them compressible."""
    rng = random.Random(seed)
    data = bytearray()
    while len(data) < size:
        if rng.random() < 0.5:
            data += rng.randbytes(512)
        else:
            data += (b"sector %08d " % len(data)) * 16 + bytes(512 - 16 * 16)
    return bytes(data[:size])


def counting(size):
    """Each byte its offset's low byte: where a sector lands shows."""
    return bytes(range(256)) * (size // 256)


if __name__ == "__main__":
    # disk.py FILE SIZE: a counting disk, for the Windows raw-volume tests' drive A:.
    import sys
    with open(sys.argv[1], "wb") as drive:
        drive.write(counting(int(sys.argv[2])))
