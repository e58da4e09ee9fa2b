#!/usr/bin/python3
"""pin_package.py <package.msi> <unix time>

wixl gives every package a random package code and stamps its summary
information with the time of the build, so two builds of the same sources
differ. This sets both times to the given one and the package code to a
name-based UUID of the package's own bytes (taken with the code and the times
blanked): a package with other content gets another code, as Windows
Installer requires, and the same content always the same code.

The fields are patched in place, inside the compound file wixl wrote, so
nothing else in the file moves.
"""
import hashlib
import struct
import sys
import uuid

SUMMARY = "\x05SummaryInformation"
PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 9, 12, 13
VT_LPSTR, VT_FILETIME = 30, 64
FREE_OR_END = 0xFFFFFFFA
# Package codes of the demo are name-based UUIDs in this namespace.
PACKAGE_NAMESPACE = uuid.UUID("8C5E2F14-3B7A-4D09-A6E1-52D0F9B3C47E")


class CompoundFile:
    def __init__(self, data):
        self.data = data
        sector_shift, mini_shift = struct.unpack_from("<HH", data, 0x1E)
        self.sector = 1 << sector_shift
        self.mini = 1 << mini_shift
        (self.first_dir, _, self.cutoff, first_minifat, _, first_difat,
         difat_count) = struct.unpack_from("<IIIIIII", data, 0x30)
        fat_sectors = list(struct.unpack_from("<109I", data, 0x4C))
        per_sector = self.sector // 4 - 1
        while difat_count and first_difat < FREE_OR_END:
            entries = self.words(first_difat)
            fat_sectors += entries[:per_sector]
            first_difat = entries[per_sector]
            difat_count -= 1
        self.fat = [w for s in fat_sectors if s < FREE_OR_END for w in self.words(s)]
        self.minifat = [w for s in self.chain(first_minifat) for w in self.words(s)]
        self.entries = self.directory()

    def offset(self, sector):
        return (sector + 1) * self.sector

    def words(self, sector):
        return list(struct.unpack_from("<%dI" % (self.sector // 4), self.data, self.offset(sector)))

    def chain(self, start, table=None):
        table = self.fat if table is None else table
        sectors = []
        while start < FREE_OR_END:
            sectors.append(start)
            start = table[start]
        return sectors

    def directory(self):
        entries = {}
        for sector in self.chain(self.first_dir):
            for at in range(self.offset(sector), self.offset(sector) + self.sector, 128):
                length = struct.unpack_from("<H", self.data, at + 64)[0]
                name = self.data[at:at + max(length - 2, 0)].decode("utf-16-le")
                start, size = struct.unpack_from("<IQ", self.data, at + 0x74)
                if self.data[at + 66] and name not in entries:
                    entries[name] = (start, size)
        return entries

    def stream_map(self, name):
        """The file offset of every byte of a stream, in order."""
        start, size = self.entries[name]
        if size >= self.cutoff:
            pieces = [(self.offset(s), self.sector) for s in self.chain(start)]
        else:
            root = [self.offset(s) for s in self.chain(self.entries["Root Entry"][0])]
            pieces = []
            for s in self.chain(start, self.minifat):
                at = s * self.mini
                pieces.append((root[at // self.sector] + at % self.sector, self.mini))
        return [o + i for o, n in pieces for i in range(n)][:size]


def summary_fields(stream):
    """(offset, length) of the package code's text and of both times."""
    section = struct.unpack_from("<I", stream, 28 + 16)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    fields = {}
    for i in range(count):
        pid, at = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        at += section
        kind = struct.unpack_from("<I", stream, at)[0]
        if pid == PID_REVNUMBER and kind == VT_LPSTR:
            fields[pid] = (at + 8, 38)
        elif pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM) and kind == VT_FILETIME:
            fields[pid] = (at + 4, 8)
    missing = {PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM} - fields.keys()
    if missing:
        sys.exit("pin_package.py: summary information lacks properties %s" % sorted(missing))
    return fields


def main(path, unix_time):
    data = bytearray(open(path, "rb").read())
    package = CompoundFile(data)
    where = package.stream_map(SUMMARY)
    fields = summary_fields(bytes(data[o] for o in where))

    def put(pid, value):
        at, length = fields[pid]
        assert len(value) == length
        for i, byte in enumerate(value):
            data[where[at + i]] = byte

    for pid, (_, length) in fields.items():
        put(pid, bytes(length))
    code = uuid.uuid5(PACKAGE_NAMESPACE, hashlib.sha256(data).hexdigest())
    put(PID_REVNUMBER, ("{%s}" % code).upper().encode("ascii"))
    filetime = struct.pack("<Q", (int(unix_time) + 11644473600) * 10_000_000)
    put(PID_CREATE_DTM, filetime)
    put(PID_LASTSAVE_DTM, filetime)
    open(path, "wb").write(data)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__.splitlines()[0])
    main(sys.argv[1], sys.argv[2])
