#!/usr/bin/env python3
"""End-to-end check of tessaly-scan on the demo computer: every line of the summary, the scan log
and the JSON result file, plus the scanner's answers to bad input.

usage: check_demo_scan.py SCANNER [--wine]
"""
import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.join(HERE, "..", "..", "tools")
sys.path.insert(0, TOOLS)
import make_demo_computer  # noqa: E402

EXPECTED_SUMMARY = """\
Tessaly
=================================================================
File-sharing software: 1
  emule.exe has been identified as eMule - a file-sharing software application
    File path: {ROOT}/Program Files/eMule/
    All files in shared folders: 1
      {ROOT}/Users/Pat/Shared Music
    Music and video files: 5
      {ROOT}/Users/Pat/Shared Music/Artist - First Song.mp3
      {ROOT}/Users/Pat/Shared Music/Artist - Second Song.mp3
      {ROOT}/Users/Pat/Shared Music/Best Of.zip/::ZIP::01 Opening.mp3
      {ROOT}/Users/Pat/Shared Music/Best Of.zip/::ZIP::02 Finale.mp3
      {ROOT}/Users/Pat/Shared Music/Live Concert.avi
    Image files: 1
      {ROOT}/Users/Pat/Shared Music/Covers/cover.jpg
    Other files: 0
=================================================================
Music and video in other folders: 3
Images in other folders: 1
Number of files: 15
=================================================================
Music files: 5
  {ROOT}/Users/Pat/Music/Holiday Song.mp3
  {ROOT}/Users/Pat/Shared Music/Artist - First Song.mp3
  {ROOT}/Users/Pat/Shared Music/Artist - Second Song.mp3
  {ROOT}/Users/Pat/Shared Music/Best Of.zip/::ZIP::01 Opening.mp3
  {ROOT}/Users/Pat/Shared Music/Best Of.zip/::ZIP::02 Finale.mp3
=================================================================
Video files: 3
  {ROOT}/Users/Pat/Documents/holiday clip.dat
  {ROOT}/Users/Pat/Shared Music/Live Concert.avi
  {ROOT}/Users/Pat/Videos/Wedding.mpg
=================================================================
Image files: 2
  {ROOT}/Users/Pat/Pictures/Beach.jpg
  {ROOT}/Users/Pat/Shared Music/Covers/cover.jpg
=================================================================
P2P Applications: 1
  {ROOT}/Program Files/eMule/emule.exe
"""

RULE = "=" * 65
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


class Scanner:
    def __init__(self, exe, wine):
        self.exe, self.wine = exe, wine

    def path(self, posix_path):
        return "Z:" + posix_path.replace("/", "\\") if self.wine else posix_path

    def run(self, *args):
        command = (["wine", self.exe] if self.wine else [self.exe]) + list(args)
        done = subprocess.run(command, capture_output=True, timeout=300)
        return done.returncode, done.stdout.decode("utf-8", "replace"), done.stderr.decode("utf-8", "replace")


def normalise(text, scanner, root):
    text = text.replace("\r\n", "\n")
    if scanner.wine:
        text = text.replace(scanner.path(root), "{ROOT}").replace("\\", "/")
    return text.replace(root, "{ROOT}")


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    scanner = Scanner(sys.argv[1], "--wine" in sys.argv)
    with tempfile.TemporaryDirectory(prefix="tessaly-e2e-") as work:
        root = os.path.join(work, "demo computer")
        sep = "\\" if scanner.wine else "/"
        make_demo_computer.build(root, scanner.path(root), sep)
        log_path, json_path = os.path.join(work, "scan.log"), os.path.join(work, "results.json")

        code, out, err = scanner.run("--list", "--log", scanner.path(log_path), "--json", scanner.path(json_path),
                                     scanner.path(root))
        check(code == 0, f"a completed scan exits 0 (got {code}, stderr {err!r})")
        got = normalise(out, scanner, root)
        want_lines, got_lines = EXPECTED_SUMMARY.splitlines(), got.splitlines()
        for i, want in enumerate(want_lines):
            line = got_lines[i] if i < len(got_lines) else "<missing>"
            check(line == want, f"summary line {i + 1}: want {want!r}, got {line!r}")
        check(len(got_lines) == len(want_lines), f"summary has {len(got_lines)} lines, want {len(want_lines)}")

        # The scan log: UTF-16LE without byte-order mark, CR LF, its frame, counts and paths.
        raw = open(log_path, "rb").read()
        check(not raw.startswith(b"\xff\xfe"), "the scan log has no byte-order mark")
        log = raw.decode("utf-16-le")
        check(log.count("\r\n") == log.count("\n"), "every scan-log line ends in CR LF")
        lines = normalise(log, scanner, root).split("\n")
        check(lines[0] == "=================== Scan log ====================================", "log line 1")
        check(len(lines[1]) == 17 and lines[1][2] == "/" and lines[1][10:12] == "  ", f"log date line {lines[1]!r}")
        check(lines[2] == RULE and lines[3] == "" and lines[4] == "" and lines[5] == RULE, "log frame lines 3-6")
        check(lines[6] == "Music files: 5, Video files: 3", f"log counts {lines[6]!r}")
        check(lines[7] == RULE and lines[8] == "", "log lines 8-9")
        media = lines[9:17]
        summary = EXPECTED_SUMMARY.splitlines()
        music_at, video_at = summary.index("Music files: 5"), summary.index("Video files: 3")
        listed = [line.strip() for line in summary[music_at + 1:music_at + 6] + summary[video_at + 1:video_at + 4]]
        # Music first, then video; within each, the order the disk gave them.
        check(sorted(media[:5]) == sorted(listed[:5]) and sorted(media[5:]) == sorted(listed[5:]),
              f"log media paths {media!r}")
        check(lines[17:21] == ["", RULE, "P2P Applications: 1 ", RULE], f"log P2P header {lines[17:21]!r}")
        check(lines[21:] == ["", "{ROOT}/Program Files/eMule/emule.exe", "", "",
                             "=================== End log ====================================", ""],
              f"log tail {lines[21:]!r}")

        # The JSON result file.
        results = json.load(open(json_path, encoding="utf-8"))
        check(results["completed"] is True, "JSON completed")
        check(results["counts"] == {"filesChecked": 15, "contentChecked": 2, "p2p": 1, "music": 5, "video": 3,
                                    "images": 2}, f"JSON counts {results['counts']}")
        program = results["p2pPrograms"][0]
        check(program["signature"] == "eMule" and len(program["sharedMedia"]) == 5 and len(program["sharedImages"]) == 1,
              f"JSON program {program}")
        shared = [f for f in results["files"] if f["sharedBy"]]
        check(len(shared) == 6, f"JSON files shared by the client: {len(shared)}")

        # Another language, a filter, bad input.
        code, out, _ = scanner.run("--lang", "DE", "--filter", "software", scanner.path(root))
        check(code == 0 and "Tessaly" in out and "File-sharing software" not in out and ": 1" in out,
              f"German software-only scan (exit {code}): {out[:200]!r}")
        code, out, _ = scanner.run("--filter", "music", scanner.path(root))
        # Without the software switch the client is not identified, so nothing counts as shared.
        check("Music and video in other folders: 5" in out and "File-sharing software: 0" in out,
              f"music-only scan: {out!r}")
        for args, message in [(["--bogus"], "unknown option --bogus"),
                              (["--lang", "XX", scanner.path(root)], "unknown language XX"),
                              (["--config", scanner.path(os.path.join(work, "missing.xml")), scanner.path(root)],
                               "cannot read the configuration file"),
                              (["--signatures", scanner.path(os.path.join(work, "none.dat")), scanner.path(root)],
                               "cannot read the signature file"),
                              ([scanner.path(os.path.join(work, "no such folder"))], "not a folder"),
                              (["--log"], "needs a value")]:
            code, out, err = scanner.run(*args)
            check(code == 1 and message in err, f"{args}: exit {code}, stderr {err!r}")
        code, out, _ = scanner.run("--help")
        check(code == 0 and "Exit status" in out, "--help")

    print(f"{len(failures)} failed" if failures else "end-to-end: all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
