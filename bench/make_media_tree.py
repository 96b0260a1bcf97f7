#!/usr/bin/env python3
"""Builds a reproducible tree for the media benchmark, outside the repository.

files/: nested folders of files; 5% carry real media headers and are large enough (sparse) that
the classification must read them, the rest are small or named by a listed extension, so only
their names are looked at. zips/: 200 ZIP archives of 1-50 members. rars/: 200 RAR archives
(1.5-4.x block layout, stored) of 1-50 members, and rar5s/: the same counts as RAR 5.0 archives.
The same arguments always give the same tree.
"""
import argparse
import os
import random
import shutil
import struct
import zipfile
import zlib

HEADERS = [
    b"ID3\x03\x00\x00\x00\x00\x0f\x76",
    b"RIFF\x00\x10\x00\x00AVI LIST",
    b"OggS\x00\x02",
    b"\x30\x26\xb2\x75\x8e\x66\xcf\x11\xa6\xd9\x00\xaa\x00\x62\xce\x6c" + b"\x10" * 8 + b"\x07",
    b"\x00\x00\x00\x20ftypM4A \x00\x00\x00\x00",
    b"\xff\xd8\xff\xe0\x00\x10JFIF",
    b"\x1a\x45\xdf\xa3\x93\x42\x82\x88",
    b"MZ\x90\x00",
]
PLAIN_EXTS = [".txt", ".doc", ".dat", ".png", ".exe", ".ini", ""]
MEDIA_EXTS = [".mp3", ".avi", ".jpg", ".wma"]
WORDS = ["Music", "Video", "Photos", "My Documents", "Projects", "Café", "backup 2009", "src"]


def rar_bytes(rng, members):
    out = bytearray(b"Rar!\x1a\x07\x00")
    out += struct.pack("<HBHHHI", 0, 0x73, 0, 13, 0, 0)
    for i in range(members):
        name = f"Album {i}/track {i:02d}.mp3".encode()
        data = b"x" * rng.randint(0, 64)
        out += struct.pack("<HBHHIIBIIBBHI", 0, 0x74, 0x8000, 32 + len(name), len(data),
                           rng.randint(1, 9_000_000), 2, 0, 0, 29, 0x30, len(name), 0x20)
        out += name + data
    out += struct.pack("<HBHH", 0, 0x7B, 0x4000, 7)
    return bytes(out)


def vint(value):
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        out.append(byte | (0x80 if value else 0))
        if not value:
            return bytes(out)


def rar5_header(kind, fields, data_size=0):
    body = vint(kind) + vint(0x0002 if data_size else 0) + (vint(data_size) if data_size else b"") + fields
    sized = vint(len(body)) + body
    return struct.pack("<I", zlib.crc32(sized)) + sized


def rar5_bytes(rng, members):
    out = bytearray(b"Rar!\x1a\x07\x01\x00")
    out += rar5_header(1, vint(0))
    for i in range(members):
        name = f"Album {i}/track {i:02d}.mp3".encode()
        data = b"x" * rng.randint(0, 64)
        fields = (vint(0x0004) + vint(rng.randint(1, 9_000_000)) + vint(0x20) + struct.pack("<I", zlib.crc32(data))
                  + vint(0) + vint(0) + vint(len(name)) + name)
        out += rar5_header(2, fields, len(data)) + data
    out += rar5_header(5, vint(0))
    return bytes(out)


def build(root, files, seed):
    rng = random.Random(seed)
    if os.path.exists(root):
        shutil.rmtree(root)
    tree = os.path.join(root, "files")
    os.makedirs(tree)
    folders = [tree]
    made = media = 0
    while made < files:
        parent = folders[rng.randrange(len(folders))]
        if rng.random() < 0.4:
            path = os.path.join(parent, f"{rng.choice(WORDS)} {len(folders)}")
            os.mkdir(path)
            folders.append(path)
        for _ in range(min(files - made, rng.randint(1, 40))):
            if made % 20 == 0:  # 5%: a real header, above the minimum sizes
                path = os.path.join(parent, f"file {made}.bin")
                with open(path, "wb") as out:
                    out.write(rng.choice(HEADERS))
                    out.truncate(rng.choice([3_500_000, 12_000_000]))
                media += 1
            else:
                listed = rng.random() < 0.2
                ext = rng.choice(MEDIA_EXTS if listed else PLAIN_EXTS)
                path = os.path.join(parent, f"file {made}{ext}")
                with open(path, "wb") as out:
                    size = rng.choice([0, 1, 100, 4096, 70000]) if not listed else rng.choice([100, 3_500_000])
                    if size:
                        out.truncate(size)
            made += 1

    zips = os.path.join(root, "zips")
    rars = os.path.join(root, "rars")
    os.makedirs(zips)
    rar5s = os.path.join(root, "rar5s")
    rng5 = random.Random(seed + 5)  # its own draws: the other archives stay as they were
    os.makedirs(rars)
    os.makedirs(rar5s)
    members = 0
    for i in range(200):
        count = rng.randint(1, 50)
        members += count
        with zipfile.ZipFile(os.path.join(zips, f"archive {i}.zip"), "w", zipfile.ZIP_STORED) as z:
            for m in range(count):
                z.writestr(f"Album {i}/track {m:02d}.mp3", b"x" * rng.randint(0, 64))
        with open(os.path.join(rars, f"archive {i}.rar"), "wb") as out:
            out.write(rar_bytes(rng, count))
        with open(os.path.join(rar5s, f"archive {i}.rar"), "wb") as out:
            out.write(rar5_bytes(rng5, count))
    return made, media, len(folders), members


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("root")
    parser.add_argument("--files", type=int, default=100_000)
    parser.add_argument("--seed", type=int, default=1993)
    args = parser.parse_args()
    made, media, folders, members = build(os.path.abspath(args.root), args.files, args.seed)
    print(f"tree {args.root}: {made} files ({media} with media headers) in {folders} folders; "
          f"200 ZIP, 200 RAR 4 and 200 RAR 5 archives of {members} members each kind")


if __name__ == "__main__":
    main()
