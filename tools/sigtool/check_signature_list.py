#!/usr/bin/env python3
"""Checks resources/signatures.tsv against the tools that use it: sigtool and
build_signature_file.py write the same bytes from it, `sigtool list` prints it back, and every
entry matches the synthetic client executable that make_fake_client.py makes for its name and size.

usage: check_signature_list.py SIGTOOL LIST
"""
import os
import subprocess
import sys
import tempfile

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(here, ".."))
sys.path.insert(0, here)
import build_signature_file  # noqa: E402
import make_fake_client  # noqa: E402


def main() -> int:
    sigtool, list_path = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        db = os.path.join(scratch, "PCBKDP.DAT")
        subprocess.run([sigtool, "build", db, list_path], check=True)
        with open(db, "rb") as f:
            if f.read() != build_signature_file.build(list_path):
                failures.append("sigtool build and build_signature_file.py differ")
        entries = []
        with open(list_path, encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\r\n")
                if line and not line.startswith("#"):
                    entries.append(line)
        listed = subprocess.run([sigtool, "list", db], check=True, capture_output=True, text=True).stdout
        if [l for l in listed.splitlines() if not l.startswith("#")] != entries:
            failures.append("sigtool list does not print the list back")
        for entry in entries:
            name, size = entry.split("\t")[0], int(entry.split("\t")[1])
            exe = os.path.join(scratch, "client.exe")
            with open(exe, "wb") as f:
                f.write(make_fake_client.fake_client_bytes(name, size))
            out = subprocess.run([sigtool, "match", db, exe], check=True, capture_output=True, text=True).stdout
            if out.strip() != f"{exe}: {name}":
                failures.append(f"{name}: synthetic client gives {out.strip()!r}")
    for failure in failures:
        print("FAIL:", failure)
    print(f"signature list: {len(entries)} entries checked, {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
