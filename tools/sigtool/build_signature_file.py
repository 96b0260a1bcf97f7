#!/usr/bin/env python3
"""Writes a signature file from a reviewed list, byte for byte as `sigtool build DB LIST` does.
Used where the build cannot run the native sigtool (the Windows cross builds).

usage: build_signature_file.py DB LIST
"""
import struct
import sys


def build(list_path: str) -> bytes:
    records = b""
    with open(list_path, "rb") as f:
        for number, raw in enumerate(f.read().split(b"\n"), 1):
            line = raw.rstrip(b"\r")
            if not line or line.startswith(b"#"):
                continue
            fields = line.split(b"\t")
            if len(fields) != 5:
                raise SystemExit(f"{list_path}:{number}: expected five tab-separated fields")
            size, head, middle, header = (int(x) for x in fields[1:])
            if size < 512 or size > 0x7FFFFFFF:
                raise SystemExit(f"{list_path}:{number}: size must be 512 to 2147483647")
            name = fields[0].decode("utf-8").encode("cp1252")
            records += struct.pack("<iBiBiBiBi", size, 0, head, 0, middle, 0, header, 0, len(name))
            records += name + b"\0" * 5
    if not records:
        raise SystemExit(f"{list_path}: holds no signature")
    return struct.pack("<IBIB", 0, 0, 10 + len(records), 0) + records


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    data = build(sys.argv[2])
    with open(sys.argv[1], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
