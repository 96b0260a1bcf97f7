#!/usr/bin/env python3
"""tessaly-scan against hostile inputs: FIFOs and folders given as input files, cut-off language
documents, a standard output that cannot be written, names with control characters and bytes that
are not UTF-8.  Usage: check_hostile_inputs.py TESSALY_SCAN  (POSIX only: FIFOs, /dev/full, ptys)."""
import json
import os
import pty
import subprocess
import sys
import tempfile

scanner = sys.argv[1]
resources = os.path.dirname(os.path.abspath(scanner))
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def run(args, **kw):
    # A hang (a blocking open of a FIFO) fails the check instead of the whole test run.
    try:
        return subprocess.run([scanner] + args, capture_output=True, timeout=60, **kw)
    except subprocess.TimeoutExpired:
        return None


with tempfile.TemporaryDirectory() as work:
    tree = os.path.join(work, "tree")
    os.makedirs(tree)
    fifo = os.path.join(work, "fifo")
    os.mkfifo(fifo)
    language = os.path.join(resources, "LanguageResource.xml")

    # Input files that are folders, FIFOs or devices: exit 1 with the reason, never a hang.
    for option, name in (("--signatures", "signature file"), ("--config", "configuration file"),
                         ("--language", "language resource")):
        for given, reason in ((work, "is a folder"), (fifo, "is not a regular file"),
                              ("/dev/zero", "is not a regular file")):
            r = run([option, given, tree])
            check(r is not None and r.returncode == 1 and name.encode() in r.stderr and reason.encode() in r.stderr,
                  f"{option} {given}: exit 1, names the {name} and says it {reason}")

    # A signature file with no signature in it would make every scan look clean.
    empty = os.path.join(work, "empty.dat")
    open(empty, "wb").close()
    r = run(["--signatures", empty, tree])
    check(r is not None and r.returncode == 1 and b"holds no signatures" in r.stderr,
          "--signatures with an empty file: exit 1, says it holds no signatures")

    # A language document cut off in the middle says it is not well-formed, and where.
    with open(language, "rb") as f:
        whole = f.read()
    cut = os.path.join(work, "cut.xml")
    with open(cut, "wb") as f:
        f.write(whole[: len(whole) // 2 & ~1])
    r = run(["--language", cut, tree])
    check(r is not None and r.returncode == 1 and b"not well-formed XML" in r.stderr and b"line " in r.stderr,
          "cut-off language document: not well-formed, with its line")

    # A standard output that cannot be written is an error, as for standard tools.
    with open("/dev/full", "wb") as full:
        try:
            p = subprocess.run([scanner, tree], stdout=full, stderr=subprocess.PIPE, timeout=60)
            check(p.returncode != 0 and b"standard output" in p.stderr, "full standard output: non-zero exit, says so")
        except subprocess.TimeoutExpired:
            check(False, "full standard output: no hang")

    # Names with control characters and with bytes that are not UTF-8.
    names = [b"evil\x1b]2;owned\x07.mp3", b"two\nlines.mp3", b"latin\xe9.mp3"]
    for n in names:
        with open(os.path.join(tree.encode(), n), "wb") as f:
            f.write(b"ID3\x03\x00")
            f.truncate(3_000_000)  # above the smallest music file (sparse)
    out_json = os.path.join(work, "r.json")
    r = run(["--list", "--filter", "music", "--json", out_json, tree])
    check(r is not None and r.returncode == 0, "scan with odd names: exit 0")
    with open(out_json, "rb") as f:
        results = json.loads(f.read().decode("utf-8"))
    got = sorted(os.path.basename(e["path"]).encode("utf-8", "surrogateescape") for e in results["files"])
    check(got == sorted(names), "JSON: the exact bytes of every name can be recovered")
    # Not a terminal: exact bytes (a pipe reader gets the names as they are).
    check(r is not None and all(n in r.stdout for n in names), "--list to a pipe: names as they are")

    # On a terminal the names are shown quoted and visible; no control character gets through.
    master, slave = pty.openpty()
    p = subprocess.Popen([scanner, "--list", "--filter", "music", tree], stdout=slave, stderr=subprocess.DEVNULL)
    os.close(slave)
    shown = b""
    while True:
        try:
            chunk = os.read(master, 65536)
        except OSError:
            break
        if not chunk:
            break
        shown += chunk
    p.wait(timeout=60)
    os.close(master)
    check(b"\x1b]2;" not in shown and b"\x07" not in shown, "terminal: no escape sequence from a name")
    check(b"'" in shown and b"\\e]2;owned\\x07.mp3'" in shown and b"two\\nlines.mp3'" in shown
          and b"latin\\xe9.mp3'" in shown, "terminal: quoted, visible forms")

print("FAILED: %d" % len(failures) if failures else "all passed")
sys.exit(1 if failures else 0)
