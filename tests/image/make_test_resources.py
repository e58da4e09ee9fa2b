"""Writes the data files of the image tests and one .res file holding them.

One .res file, not windres text: windres upper-cases a type written as bin,
and ld merges the .rsrc of several objects with names compared without case,
so a type stored as "bin" survives only as its own entry of a single object.
"""
import random
import struct
import sys
import zlib
from pathlib import Path

MIB = 1024 * 1024
ENGLISH = 0x0409
GERMAN = 0x0407

# (type, id, language, size)
RESOURCES = [
    ("BIN", 201, ENGLISH, 0),
    ("BIN", 202, GERMAN, 1),
    ("BIN", 203, ENGLISH, MIB),
    ("BIN", 204, ENGLISH, MIB + 1),
    ("BIN", 205, ENGLISH, 3 * MIB + 4321),
    ("BIN", 206, ENGLISH, 10),
    ("BIN", 206, GERMAN, 20),
    ("bin", 207, ENGLISH, 5),
    ("BIN", 208, ENGLISH, 2 * MIB + 17),
]
# Recorded with a checksum that its bytes do not have, as in a damaged download.
DAMAGED = {208}


def pattern(seed, size):
    return random.Random(seed).randbytes(size)


def name_or_id(value):
    if isinstance(value, int):
        return struct.pack("<HH", 0xFFFF, value)
    return (value + "\0").encode("utf-16-le")


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def record(type_, id_, language, data):
    header = pad4(name_or_id(type_) + name_or_id(id_))
    header += struct.pack("<IHHII", 0, 0x0030, language, 0, 0)
    return pad4(struct.pack("<II", len(data), 8 + len(header)) + header + data)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    res = record(0, 0, 0, b"")
    checksums = b""
    for type_, id_, language, size in RESOURCES:
        data = pattern(id_ * 65536 + language, size)
        (out / f"{type_}-{id_}-{language}.dat").write_bytes(data)
        res += record(type_, id_, language, data)
        if type_ == "BIN":
            crc = zlib.crc32(data) ^ (1 if id_ in DAMAGED else 0)
            checksums += struct.pack("<II", id_, crc)
    # The launcher's build records each item's CRC-32; saving checks against it.
    res += record("CRC32", 1, ENGLISH, checksums)
    (out / "resources.res").write_bytes(res)


main()
