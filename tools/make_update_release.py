#!/usr/bin/env python3
"""Writes the update manifest for a folder of built files, so that a release can be published on
any static web server.

    make_update_release.py --version 1.3.1.171 --base-url http://example.org/tessaly/1.3.1.171/ \
        build/release-files

Every file directly inside the folder becomes one <File> entry: its name, size, SHA-256 digest,
the release version as its build and the address base-url + name. All entries carry the release
date and time (local time, mm-dd-yyyy and hh:mm:ss; --date/--time override them), so a client
whose last check lies before the release fetches the whole release, "Updater.exe" included.
Upload the folder's files to base-url and the manifest to the address the program's
SETTINGS_UPDATEURL names.
"""

import argparse
import datetime
import hashlib
import os
import re
import sys
import urllib.parse
from xml.sax.saxutils import escape, quoteattr

RESERVED = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"} | {
    f"{kind}{n}" for kind in ("COM", "LPT") for n in list("0123456789") + ["\u00b9", "\u00b2", "\u00b3"]}
REFUSED_CHARACTERS = set('\\/:*?"<>|') | {chr(c) for c in range(32)}


def refusal(name):
    """Why the program would refuse this file name, or None."""
    if name in ("", ".", "..") or len(name) > 255:
        return "not a plain file name"
    if any(c in REFUSED_CHARACTERS for c in name):
        return "holds a character Windows refuses in names"
    if name[-1] in ". ":
        return "ends in a dot or space"
    if name.split(".")[0].rstrip(" ").upper() in RESERVED:
        return "is a device name"
    try:
        name.encode("cp1252")
    except UnicodeEncodeError:
        return "cannot be written in the manifest's code page (Windows-1252)"
    return None


def manifest_text(entries, product="Tessaly"):
    lines = ['<?xml version="1.0" encoding="windows-1252"?>', "<MorvaneSoftware>", f"<{product}>", "<Updater>"]
    for entry in entries:
        attributes = " ".join(f"{key}={quoteattr(str(value))}" for key, value in entry["attributes"])
        lines.append(f"<File {attributes}>{escape(entry['url'])}</File>")
    lines += ["</Updater>", f"</{product}>", "</MorvaneSoftware>", ""]
    return "\r\n".join(lines)


def build_entries(folder, version, base_url, date, time, skip):
    if not base_url.endswith("/"):
        base_url += "/"
    entries, problems = [], []
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if not os.path.isfile(path) or os.path.abspath(path) in skip:
            continue
        reason = refusal(name)
        if reason:
            problems.append(f"{name}: {reason}")
            continue
        with open(path, "rb") as handle:
            data = handle.read()
        if len(data) == 0 or len(data) > 0xFFFFFFFF:
            problems.append(f"{name}: size {len(data)} cannot be downloaded")
            continue
        entries.append({
            "name": name,
            "url": base_url + urllib.parse.quote(name),
            "attributes": [("Date", date), ("Time", time), ("Build", version), ("FileName", name),
                           ("Size", len(data)), ("SHA256", hashlib.sha256(data).hexdigest())],
        })
    return entries, problems


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("folder", help="folder of the built files to publish")
    parser.add_argument("--version", required=True, help="release version, written as each file's Build")
    parser.add_argument("--base-url", required=True, help="address under which the files will be served")
    parser.add_argument("--output", help="manifest to write (default: FOLDER/update.xml)")
    parser.add_argument("--date", help="release date mm-dd-yyyy (default: today)")
    parser.add_argument("--time", help="release time hh:mm:ss (default: now)")
    args = parser.parse_args(argv)

    now = datetime.datetime.now()
    date = args.date or now.strftime("%m-%d-%Y")
    time = args.time or now.strftime("%H:%M:%S")
    if not re.fullmatch(r"(0[1-9]|1[0-2])-(0[1-9]|[12]\d|3[01])-\d{4}", date):
        parser.error(f"--date {date!r} is not mm-dd-yyyy")
    if not re.fullmatch(r"([01]\d|2[0-3]):[0-5]\d:[0-5]\d", time):
        parser.error(f"--time {time!r} is not hh:mm:ss")
    if not re.fullmatch(r"https?://\S+", args.base_url):
        parser.error(f"--base-url {args.base_url!r} is not an http address")
    if not os.path.isdir(args.folder):
        parser.error(f"{args.folder} is not a folder")

    output = args.output or os.path.join(args.folder, "update.xml")
    entries, problems = build_entries(args.folder, args.version, args.base_url, date, time,
                                      {os.path.abspath(output)})
    if problems:
        for problem in problems:
            print(f"make_update_release: {problem}", file=sys.stderr)
        return 1
    if not entries:
        print("make_update_release: the folder holds no files", file=sys.stderr)
        return 1
    if not any(e["name"].lower() == "updater.exe" for e in entries):
        print("make_update_release: warning: no Updater.exe in the release; "
              "clients can download but not install it", file=sys.stderr)
    with open(output, "w", encoding="cp1252", newline="") as handle:
        handle.write(manifest_text(entries))
    print(f"{output}: {len(entries)} files, {date} {time}, build {args.version}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
