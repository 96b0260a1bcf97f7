#!/usr/bin/env python3
"""Builds the demo computer: a small, reproducible folder tree with one P2P client (eMule, whose
signature is in resources/signatures.tsv), that client's settings naming a shared folder, and music,
video and images inside and outside that folder, a ZIP holding songs and a renamed video that only
its header gives away. Large files are sparse, so the tree costs almost no disk.

usage: make_demo_computer.py ROOT [--prefix PREFIX] [--separator SEP]

PREFIX is ROOT as the scanning program will see it (default ROOT itself); the Windows build under
Wine sees /tmp/x as Z:\\tmp\\x, so the demo passes --prefix 'Z:\\tmp\\x' --separator '\\'.
The end-to-end test uses this tree and expects exactly the results listed in EXPECTED below.
"""
import argparse
import os
import shutil
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_fake_client import fake_client_bytes  # noqa: E402

MIB = 1 << 20
CLIENT_NAME, CLIENT_SIZE = "eMule", 49152
SHARED = "Users/Pat/Shared Music"

ID3 = b"ID3\x03\x00\x00\x00\x00\x00\x00"
RIFF_AVI = b"RIFF\x00\x00\x00\x00AVI LIST"
JPEG = b"\xff\xd8\xff\xe0\x00\x10JFIF\x00"
MATROSKA = b"\x1a\x45\xdf\xa3\x93\x42\x82\x88matroska"
MPEG_PS = b"\x00\x00\x01\xba\x21\x00\x01\x00\x01\x80"

# (relative path, header bytes, total size)
FILES = [
    (f"{SHARED}/Artist - First Song.mp3", ID3, 4 * MIB),
    (f"{SHARED}/Artist - Second Song.mp3", ID3, 5 * MIB),
    (f"{SHARED}/Live Concert.avi", RIFF_AVI, 300 * MIB),
    (f"{SHARED}/Covers/cover.jpg", JPEG, 200_000),
    ("Users/Pat/Music/Holiday Song.mp3", ID3, 3 * MIB),
    ("Users/Pat/Music/ringtone.mp3", ID3, 40_000),          # below the music minimum: not reported
    ("Users/Pat/Videos/Wedding.mpg", MPEG_PS, 700 * MIB),
    ("Users/Pat/Pictures/Beach.jpg", JPEG, 2 * MIB),
    ("Users/Pat/Documents/report.doc", b"\xd0\xcf\x11\xe0", 60_000),
    ("Users/Pat/Documents/holiday clip.dat", MATROSKA, 90 * MIB),  # a renamed video
]
ZIP_PATH = f"{SHARED}/Best Of.zip"
ZIP_MEMBERS = [("01 Opening.mp3", 2 * MIB), ("02 Finale.mp3", 3 * MIB)]


def write_sparse(path, header, size):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(header)
        out.truncate(size)


def build(root, prefix, separator):
    if os.path.exists(root):
        shutil.rmtree(root)
    client_folder = os.path.join(root, "Program Files", "eMule")
    os.makedirs(os.path.join(client_folder, "config"))
    with open(os.path.join(client_folder, "emule.exe"), "wb") as out:
        out.write(fake_client_bytes(CLIENT_NAME, CLIENT_SIZE))
    shared_as_seen = prefix + separator + SHARED.replace("/", separator)
    with open(os.path.join(client_folder, "config", "shareddir.dat"), "wb") as out:
        out.write((shared_as_seen + "\r\n").encode("cp1252"))
    for relative, header, size in FILES:
        write_sparse(os.path.join(root, relative), header, size)
    # Stored, not deflated: an archive is opened only when it is larger than a media minimum.
    with zipfile.ZipFile(os.path.join(root, ZIP_PATH), "w", zipfile.ZIP_STORED) as archive:
        for name, size in ZIP_MEMBERS:
            archive.writestr(name, ID3 + bytes(size - len(ID3)))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("root")
    parser.add_argument("--prefix")
    parser.add_argument("--separator", default=os.sep)
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    build(root, args.prefix or root, args.separator)
    print(f"demo computer ready: {root}")


if __name__ == "__main__":
    main()
