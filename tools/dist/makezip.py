#!/usr/bin/env python3
"""Writes a zip archive that is the same bytes whenever the files are: the
entries sorted by name, each dated 1980-02-01 00:00 with no attributes of
the machine that packed it, and text files (.txt) with CR LF line ends for
Windows. The archive is written beside its place and renamed over it, so a
failed run never leaves half an archive.

Usage: makezip.py ARCHIVE NAME=FILE...  (NAME is the path in the archive)"""
import sys
import zipfile
from pathlib import Path

# Not the format's first day, 1980-01-01, which some readers turn into 1979
# when they move it to their time zone.
DATE = (1980, 2, 1, 0, 0, 0)


def main(archive, *entries):
    out = Path(archive)
    out.parent.mkdir(parents=True, exist_ok=True)
    partial = out.with_name(out.name + ".partial")
    with zipfile.ZipFile(partial, "w") as packed:
        for name, source in sorted(entry.split("=", 1) for entry in entries):
            data = Path(source).read_bytes()
            if name.endswith(".txt"):
                data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
            info = zipfile.ZipInfo(name, DATE)
            info.create_system = 0  # MS-DOS: no Unix owner or mode bits,
            info.external_attr = 0x20  # just the archive bit, as Windows packs a file
            info.compress_type = zipfile.ZIP_DEFLATED
            packed.writestr(info, data, compresslevel=9)
    partial.replace(out)


if __name__ == "__main__":
    if len(sys.argv) < 3 or not all("=" in entry for entry in sys.argv[2:]):
        sys.exit(__doc__.rsplit("\n\n", 1)[1])
    main(*sys.argv[1:])
