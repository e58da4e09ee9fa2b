"""Writes the payload's checksum table: little-endian (resource id, CRC-32) pairs.

usage: payload_checksums.py <output> <id>=<file>...
"""
import struct
import sys
import zlib


def crc32_of(path):
    crc = 0
    with open(path, "rb") as item:
        while piece := item.read(1 << 20):
            crc = zlib.crc32(piece, crc)
    return crc


def main():
    table = b""
    for pair in sys.argv[2:]:
        resource_id, path = pair.split("=", 1)
        table += struct.pack("<II", int(resource_id), crc32_of(path))
    with open(sys.argv[1], "wb") as out:
        out.write(table)


main()
