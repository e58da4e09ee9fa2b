#!/usr/bin/python3
"""check-reproducible.py <source dir> <build dir> [cmake option...]

Builds the launcher once more from the same sources, in a folder of another
depth, in another time zone and umask and without SOURCE_DATE_EPOCH, and
compares what ships (the launcher, its .debug file and the demo payload) byte
for byte with the build tree's own. A difference is named by the PE structure,
or the installer table or stream, it lies in.
"""
import difflib
import os
import pathlib
import shutil
import struct
import subprocess
import sys
import tempfile

import pefile


def run(*command, **options):
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, **options)
    if done.returncode:
        sys.exit("%s failed:\n%s" % (" ".join(command), done.stdout))
    return done.stdout


def section_name(pe, section, data):
    name = section.Name.rstrip(b"\0").decode("ascii", "replace")
    if name.startswith("/"):  # a long name, kept in the COFF string table
        table = pe.FILE_HEADER.PointerToSymbolTable + 18 * pe.FILE_HEADER.NumberOfSymbols
        start = table + int(name[1:])
        name = data[start:data.index(b"\0", start)].decode("ascii", "replace")
    return name


HEADERS = {"IMAGE_DOS_HEADER": "DOS header", "IMAGE_NT_HEADERS": "PE signature",
           "IMAGE_FILE_HEADER": "COFF header", "IMAGE_OPTIONAL_HEADER": "optional header",
           "IMAGE_EXPORT_DIRECTORY": "export directory", "IMAGE_RESOURCE_DIRECTORY": "resource directory"}


def pe_regions(data):
    """(start, end, label) of the headers' fields, then of the sections."""
    pe = pefile.PE(data=data)
    structures = [pe.DOS_HEADER, pe.NT_HEADERS, pe.FILE_HEADER, pe.OPTIONAL_HEADER]
    structures = [(HEADERS[s.name], s) for s in structures]
    structures += [("data directory " + d.name.replace("IMAGE_DIRECTORY_ENTRY_", ""), d)
                   for d in pe.OPTIONAL_HEADER.DATA_DIRECTORY]
    structures += [("section header " + section_name(pe, s, data), s) for s in pe.sections]
    for entry in ("DIRECTORY_ENTRY_EXPORT", "DIRECTORY_ENTRY_RESOURCE"):
        if hasattr(pe, entry):
            structures.append((HEADERS[getattr(pe, entry).struct.name], getattr(pe, entry).struct))
    regions = []
    for label, s in structures:
        offsets = sorted(s.__field_offsets__.items(), key=lambda item: item[1])
        ends = [o for _, o in offsets[1:]] + [s.sizeof()]
        for (field, offset), end in zip(offsets, ends):
            regions.append((s.get_file_offset() + offset, s.get_file_offset() + end, label + " " + field))
    security = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_SECURITY"]]
    if security.Size:
        regions.append((security.VirtualAddress, security.VirtualAddress + security.Size, "Authenticode signature"))
    for s in pe.sections:
        regions.append((s.PointerToRawData, s.PointerToRawData + s.SizeOfRawData, "section " + section_name(pe, s, data)))
    if pe.FILE_HEADER.PointerToSymbolTable:
        regions.append((pe.FILE_HEADER.PointerToSymbolTable, len(data), "COFF symbol and string table"))
    return regions


def explain_pe(ours, theirs):
    try:
        regions = pe_regions(ours)
    except pefile.PEFormatError as error:
        return ["not a PE file: %s" % error]
    found = {}
    for at in (i for i in range(min(len(ours), len(theirs))) if ours[i] != theirs[i]):
        region = next((r for r in regions if r[0] <= at < r[1]), (at, at + 1, "file offset 0x%x" % at))
        found[region] = found.get(region, 0) + 1
    lines = []
    for (start, end, label), count in found.items():
        line = "%s: %d byte(s) differ" % (label, count)
        kind = {1: "<B", 2: "<H", 4: "<I"}.get(end - start)
        if kind and not label.startswith("file offset"):
            line += " (0x%x here, 0x%x in the second build)" % (
                struct.unpack_from(kind, ours, start)[0], struct.unpack_from(kind, theirs, start)[0])
        lines.append(line)
    return lines


def explain_msi(ours_path, theirs_path, work):
    dumps = []
    for name, path in (("ours", ours_path), ("theirs", theirs_path)):
        folder = pathlib.Path(work, "dump-" + name, path.name)
        folder.mkdir(parents=True)
        run("msidump", "-t", "-s", "-d", str(folder), str(path))
        dumps.append(folder)
    names = sorted({p.relative_to(d) for d in dumps for p in d.rglob("*") if p.is_file()})
    lines = []
    for name in names:
        a, b = (d / name for d in dumps)
        if a.is_file() and b.is_file() and a.read_bytes() == b.read_bytes():
            continue
        what = "stream " + name.name if name.parent.name == "_Streams" else "table " + name.stem
        lines.append(what + " differs")
        if name.suffix == ".idt" and a.is_file() and b.is_file():
            diff = difflib.unified_diff(a.read_text(errors="replace").splitlines(),
                                        b.read_text(errors="replace").splitlines(), "here", "second build", lineterm="")
            lines += ["    " + l for l in list(diff)[2:12]]
    return lines or ["tables and streams are the same: the compound file's layout differs"]


def main(source, build, options):
    build = pathlib.Path(build).resolve()
    work = tempfile.mkdtemp(prefix="reproducible-")
    # Deeper than the build tree, so that a path that leaks into a file
    # changes its length and moves everything after it.
    levels = max(1, len(build.parts) + 1 - len(pathlib.Path(work).parts))
    second = pathlib.Path(work, *["deeper"] * levels, build.name)
    environment = {k: v for k, v in os.environ.items() if k != "SOURCE_DATE_EPOCH"}
    environment["TZ"] = "Pacific/Chatham"  # UTC+13:45
    if os.umask(0o077) == 0o077:
        os.umask(0o022)
    run("cmake", "-S", source, "-B", str(second), "-DBUILD_TESTING=OFF", *options, env=environment)
    run("cmake", "--build", str(second), "--target", "BrinmoorSetup", "-j1", env=environment)

    times = [(tree / "source-date-epoch.txt").read_text().strip() for tree in (build, second)]
    if times[0] != times[1]:
        shutil.rmtree(work)
        sys.exit("The build tree was made with SOURCE_DATE_EPOCH %s, the sources give %s now: build it again "
                 "after a commit, and configure it without SOURCE_DATE_EPOCH set." % tuple(times))
    names = [pathlib.Path("BrinmoorSetup.exe"), pathlib.Path("BrinmoorSetup.exe.debug")]
    settings = dict(o[2:].split("=", 1) for o in options if o.startswith("-D") and "=" in o)
    if not settings.get("BRINMOOR_PAYLOAD_DIR"):
        names += sorted(p.relative_to(build) for p in (build / "demo-payload").rglob("*") if p.is_file())
    failed = False
    for name in names:
        ours, theirs = build / name, second / name
        if not theirs.is_file():
            print("%s: not made by the second build" % name)
            failed = True
            continue
        a, b = ours.read_bytes(), theirs.read_bytes()
        if a == b:
            print("same: %s" % name)
            continue
        failed = True
        print("DIFFERS: %s (%d bytes here, %d in %s)" % (name, len(a), len(b), theirs))
        if name.suffix == ".msi":
            lines = explain_msi(ours, theirs, work)
        elif a[:2] == b"MZ":
            lines = explain_pe(a, b)
        else:
            first = next((i for i, (x, y) in enumerate(zip(a, b)) if x != y), min(len(a), len(b)))
            lines = ["first difference at offset 0x%x" % first]
        for line in lines:
            print("    " + line)
    if failed:
        print("The second build is kept in %s" % second)
        sys.exit(1)
    shutil.rmtree(work)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__.splitlines()[0])
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
