"""Checks SaveResourceToFile against pefile, a PE parser written independently.

Usage: crosscheck_pefile.py <wine-run.sh> <image_extract.exe>
Every "BIN" resource that pefile finds must be saved byte for byte when it
has one language and its CRC-32 is the one recorded in resource "CRC32" 1,
must fail as damaged without a file when the CRC-32 differs, and must fail
without a file when it has several languages; an id that pefile does not list
under "BIN" must not be found.
"""
import struct
import subprocess
import sys
import tempfile
import zlib
from pathlib import Path

import pefile


def bin_resources(exe):
    pe = pefile.PE(exe)
    found = {}
    names = set()
    recorded = {}
    for type_entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        name = str(type_entry.name) if type_entry.name is not None else None
        for id_entry in type_entry.directory.entries:
            for language in id_entry.directory.entries:
                rva, size = language.data.struct.OffsetToData, language.data.struct.Size
                data = pe.get_data(rva, size)
                if name == "BIN":
                    found.setdefault(id_entry.id, []).append(data)
                elif name == "CRC32":
                    recorded.update(struct.iter_unpack("<II", data))
                    names.add(id_entry.id)
                else:
                    names.add(id_entry.id)
    return found, names - set(found), recorded


def wine_path(path):
    return "Z:" + str(path).replace("/", "\\") + "\\"


def run_extract(wine_run, exe, folder, ids):
    args = [wine_run, exe, wine_path(folder)] + [str(i) for i in ids]
    output = subprocess.run(args, check=True, capture_output=True, text=True).stdout
    results = {}
    for line in output.splitlines():
        id_, text = line.strip().split(" ", 1)
        results[int(id_)] = text
    return results


DAMAGED = "The installer file is damaged. Please download it again."


def check(found, others, recorded, results, folder):
    failures = []
    for id_, datas in sorted(found.items()):
        saved = folder / f"{id_}.bin"
        if len(datas) == 1 and recorded.get(id_) != zlib.crc32(datas[0]):
            if results.get(id_) != DAMAGED or saved.exists():
                failures.append(f"{id_}: {results.get(id_)}, expected the damaged-installer error")
        elif len(datas) == 1:
            if results.get(id_) != "saved" or saved.read_bytes() != datas[0]:
                failures.append(f"{id_}: {results.get(id_)}, expected {len(datas[0])} bytes")
        elif results.get(id_) != "ResourceDir::GetResourceData" or saved.exists():
            failures.append(f"{id_}: {results.get(id_)} for {len(datas)} languages")
    for id_ in sorted(others):
        if results.get(id_) != "ResourceDir::GetChildWithId" or (folder / f"{id_}.bin").exists():
            failures.append(f"{id_} (not BIN): {results.get(id_)}")
    return failures


def main():
    wine_run, exe = sys.argv[1], sys.argv[2]
    found, others, recorded = bin_resources(exe)
    if not found:
        sys.exit("pefile found no BIN resources")
    with tempfile.TemporaryDirectory() as tmp:
        folder = Path(tmp)
        results = run_extract(wine_run, exe, folder, sorted(found) + sorted(others))
        failures = check(found, others, recorded, results, folder)
    for id_, datas in sorted(found.items()):
        print(f"BIN {id_}: {[len(d) for d in datas]} bytes -> {results.get(id_)}")
    for failure in failures:
        print("MISMATCH", failure)
    sys.exit(1 if failures else 0)


main()
