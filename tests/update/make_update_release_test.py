#!/usr/bin/env python3
"""Checks the manifests that make_update_release.py writes: the form the updater reads, sizes,
digests and addresses, and the names it refuses."""

import hashlib
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

TOOL = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "../../tools/make_update_release.py")


def run(*args):
    return subprocess.run([sys.executable, TOOL, *args], capture_output=True, text=True)


class MakeUpdateRelease(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.path = self.folder.name

    def tearDown(self):
        self.folder.cleanup()

    def add(self, name, data):
        with open(os.path.join(self.path, name), "wb") as handle:
            handle.write(data)

    def test_manifest_lists_every_file(self):
        files = {"Tessaly.exe": b"MZ" * 1000, "Updater.exe": b"MZ updater", "Sprache & Text.xml": b"<x/>"}
        for name, data in files.items():
            self.add(name, data)
        result = run("--version", "1.3.1.171", "--base-url", "http://example.org/t/1.3.1.171",
                     "--date", "08-01-2009", "--time", "09:30:00", self.path)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.path, "update.xml"), "rb") as handle:
            raw = handle.read()
        self.assertTrue(raw.startswith(b'<?xml version="1.0" encoding="windows-1252"?>\r\n'))
        root = ElementTree.fromstring(raw)
        self.assertEqual(root.tag, "MorvaneSoftware")
        entries = root.findall("./Tessaly/Updater/File")
        self.assertEqual(sorted(e.get("FileName") for e in entries), sorted(files))
        for entry in entries:
            data = files[entry.get("FileName")]
            self.assertEqual(entry.get("Date"), "08-01-2009")
            self.assertEqual(entry.get("Time"), "09:30:00")
            self.assertEqual(entry.get("Build"), "1.3.1.171")
            self.assertEqual(int(entry.get("Size")), len(data))
            self.assertEqual(entry.get("SHA256"), hashlib.sha256(data).hexdigest())
        urls = {e.get("FileName"): e.text for e in entries}
        self.assertEqual(urls["Sprache & Text.xml"], "http://example.org/t/1.3.1.171/Sprache%20%26%20Text.xml")
        # A second run does not list the manifest it wrote before.
        self.assertEqual(run("--version", "2", "--base-url", "http://h/", self.path).returncode, 0)
        root = ElementTree.parse(os.path.join(self.path, "update.xml")).getroot()
        self.assertEqual(len(root.findall("./Tessaly/Updater/File")), 3)

    def test_refusals(self):
        cases = [("name the program refuses", "CON.txt", []),
                 ("name ending in a dot", "file.", []),
                 ("empty file", "empty.bin", []),
                 ("bad date", "ok.bin", ["--date", "2009-08-01"]),
                 ("month 13", "ok.bin", ["--date", "13-01-2009"]),
                 ("bad time", "ok.bin", ["--time", "9:30"]),
                 ("not an http address", "ok.bin", ["--base-url", "ftp://h/"])]
        for label, name, extra in cases:
            with self.subTest(label):
                with tempfile.TemporaryDirectory() as folder:
                    with open(os.path.join(folder, name), "wb") as handle:
                        handle.write(b"" if name == "empty.bin" else b"data")
                    args = ["--version", "1", "--base-url", "http://h/", *extra, folder]
                    if "--base-url" in extra:
                        args = ["--version", "1", *extra, folder]
                    result = run(*args)
                    self.assertNotEqual(result.returncode, 0, label)
                    self.assertFalse(os.path.exists(os.path.join(folder, "update.xml")), label)


if __name__ == "__main__":
    unittest.main()
