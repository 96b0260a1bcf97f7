#!/usr/bin/env python3
"""Writes a synthetic "client executable": SIZE deterministic bytes starting with "MZ", the same
for the same NAME and SIZE on every machine. The demo and the tests plant these where a real P2P
client would be; resources/signatures.tsv holds their signatures.

usage: make_fake_client.py NAME SIZE OUT
"""
import sys


def fake_client_bytes(name: str, size: int) -> bytes:
    # FNV-1a of the name seeds a xorshift32 stream.
    seed = 0x811C9DC5
    for byte in name.encode("utf-8"):
        seed = ((seed ^ byte) * 0x01000193) & 0xFFFFFFFF
    state = seed or 1
    out = bytearray(size)
    for i in range(size):
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        out[i] = state & 0xFF
    out[0:2] = b"MZ"[: min(2, size)]
    return bytes(out)


def main() -> int:
    if len(sys.argv) != 4:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    name, size, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    if size < 0:
        print("make_fake_client.py: SIZE must not be negative", file=sys.stderr)
        return 2
    with open(out, "wb") as f:
        f.write(fake_client_bytes(name, size))
    return 0


if __name__ == "__main__":
    sys.exit(main())
