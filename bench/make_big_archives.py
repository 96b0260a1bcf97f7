#!/usr/bin/env python3
"""Writes one RAR (4.x block layout) and one ZIP (ZIP64) with very many members, for the memory
benchmark of the archive listing. Members hold no data; one in a thousand is a song of 4 MB (by
its name and stated size), the rest are text files.
Usage: make_big_archives.py RAR_PATH RAR_MEMBERS ZIP_PATH ZIP_MEMBERS"""
import struct
import sys

SONG_EVERY = 1000


def member(i):
    if i % SONG_EVERY == 0:
        return b"music/song%07d.mp3" % i, 4000000
    return b"docs/note%07d.txt" % i, 0


def write_rar(path, count):
    with open(path, "wb") as out:
        out.write(b"Rar!\x1a\x07\x00")
        out.write(struct.pack("<HBHHHI", 0, 0x73, 0, 13, 0, 0))
        chunk = []
        for i in range(count):
            name, size = member(i)
            # CRC, type, flags (long block: packed data follow, here none), header size, packed,
            # unpacked, host OS, file CRC, time, version, method, name size, attributes
            chunk.append(struct.pack("<HBHHIIBIIBBHI", 0, 0x74, 0x8000, 32 + len(name), 0, size, 2, 0, 0, 29,
                                     0x30, len(name), 0x20) + name)
            if len(chunk) == 65536:
                out.write(b"".join(chunk))
                chunk = []
        out.write(b"".join(chunk))
        out.write(struct.pack("<HBHH", 0, 0x7B, 0x4000, 7))


def write_zip(path, count):
    central = []
    offset = 0
    with open(path, "wb") as out:
        chunk = []
        for i in range(count):
            name, size = member(i)
            local = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 0, 0, 0, 0, 0, size, len(name), 0) + name
            central.append(struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 45, 20, 0, 0, 0, 0, 0, 0, size,
                                       len(name), 0, 0, 0, 0, 0, offset) + name)
            chunk.append(local)
            offset += len(local)
            if len(chunk) == 65536:
                out.write(b"".join(chunk))
                chunk = []
        out.write(b"".join(chunk))
        directory = b"".join(central)
        out.write(directory)
        end64 = offset + len(directory)
        # ZIP64 end of central directory record and locator, then the classic end record.
        out.write(struct.pack("<IQHHIIQQQQ", 0x06064B50, 44, 45, 45, 0, 0, count, count, len(directory), offset))
        out.write(struct.pack("<IIQI", 0x07064B50, 0, end64, 1))
        out.write(struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0))


write_rar(sys.argv[1], int(sys.argv[2]))
write_zip(sys.argv[3], int(sys.argv[4]))
