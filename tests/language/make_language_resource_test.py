#!/usr/bin/env python3
"""Checks of tools/make_language_resource.py on small hand-made language files."""

import os
import shutil
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import make_language_resource as tool  # noqa: E402

HEADINGS = {
    "IDS_WHATISTSY": "What is it?",
    "IDS_AVOIDINGILLEGAL": "Avoiding trouble",
    "IDS_HOWTSYWORKS": "How it works",
    "IDS_FINDINGANDREMOVINGSOFTWARE": "Finding programs",
    "IDS_FINDINGANDREMOVINGILLEGALMUSIC": "Finding music",
    "IDS_FINDINGFILESINOTHER": "Other folders",
    "IDS_USETSYINCONFIDENCE": "Straße und Größe",  # "ß" folds to two letters with casefold()
    "IDS_HOWTOGETMUSICLEGALLY": "Buying music",
}


def welcome_rtf(headings, body="Some text."):
    parts = ["{\\rtf1\\ansi{\\fonttbl{\\f0 Tahoma;}}\\pard Welcome\\par "]
    for h in headings:
        encoded = "".join(c if ord(c) < 128 else "\\u%d?" % ord(c) for c in h)
        parts.append("\\pard\\b " + encoded + "\\par\\pard\\b0 " + body + "\\par ")
    return "".join(parts) + "}"


def element(code, sid, text, options=None):
    opt = f' Options="{options}"' if options else ""
    return f'<String SID="{sid}" Lang="{code}"{opt}>{tool.escape_text(text)}</String>'


def language_lines(code, overrides=None):
    """One line per ID; overrides maps an ID to its raw line (None drops the ID)."""
    overrides = overrides or {}
    lines = []
    for sid in tool.STRING_IDS:
        if sid in overrides:
            if overrides[sid] is not None:
                lines.append(overrides[sid])
            continue
        if sid in HEADINGS:
            lines.append(element(code, sid, HEADINGS[sid]))
        elif sid == tool.WELCOME_ID:
            lines.append(element(code, sid, welcome_rtf([HEADINGS[s] for s in tool.QUICK_LINK_IDS])))
        elif sid == tool.LICENSE_ID:
            lines.append(element(code, sid, "{\\rtf1 Licence\\par}", "NoCrLfConvert"))
        elif sid == "IDS_FILE_S_FOUND":
            lines.append(element(code, sid, "%d file(s)<br>found"))
        else:
            lines.append(element(code, sid, f"Text of {sid}"))
    return lines


class LanguageFileChecks(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp()
        os.makedirs(os.path.join(self.root, "resources", "lang"))
        self.saved = (tool.ROOT, tool.LANG_DIR)
        tool.ROOT = self.root
        tool.LANG_DIR = os.path.join(self.root, "resources", "lang")

    def tearDown(self):
        tool.ROOT, tool.LANG_DIR = self.saved
        shutil.rmtree(self.root)

    def write(self, code, lines):
        with open(os.path.join(tool.LANG_DIR, f"{code}.xml"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")

    def problems_of(self, code, lines, reference=True):
        if reference:
            self.write("UK", language_lines("UK"))
        self.write(code, lines)
        problems = tool.Problems()
        entries = tool.read_language(code, problems)
        if reference and code != "UK":
            ref = tool.read_language("UK", tool.Problems())
            tool.compare_with_reference(code, entries, ref, problems)
        return problems.items

    def test_detects_faults(self):
        welcome = tool.WELCOME_ID
        order = language_lines("DE")
        order[3], order[4] = order[4], order[3]
        cases = [
            # (name, lines of the DE file, expected fragment of one problem)
            ("missing ID", language_lines("DE", {"IDS_OK": None}), "IDS_OK: missing"),
            ("duplicate ID", language_lines("DE") + [element("DE", "IDS_OK", "OK")], "more than once"),
            ("out of order", order, "out of document order"),
            ("untranslated", language_lines("DE", {"IDS_OK": element("DE", "IDS_OK", "TODO:OK")}), "untranslated"),
            ("one space", language_lines("DE", {"IDS_OK": element("DE", "IDS_OK", " ")}), "empty text"),
            ("empty", language_lines("DE", {"IDS_OK": '<String SID="IDS_OK" Lang="DE"></String>'}), "empty text"),
            ("wrong Lang", language_lines("DE", {"IDS_OK": element("UK", "IDS_OK", "OK")}), "Lang is 'UK'"),
            ("unknown ID", language_lines("DE") + [element("DE", "IDS_NOSUCH", "x")], "unknown string ID"),
            ("numeric entity",
             language_lines("DE", {"IDS_OK": '<String SID="IDS_OK" Lang="DE">&#233;</String>'}), "'&' that is not"),
            ("raw line break",
             language_lines("DE", {"IDS_OK": '<String SID="IDS_OK" Lang="DE">a\nb</String>'}), "raw line break"),
            ("not well formed",
             language_lines("DE", {"IDS_OK": '<String SID="IDS_OK" Lang="DE">a</Strin>'}), "not a well-formed"),
            ("placeholders differ",
             language_lines("DE", {"IDS_FILE_S_FOUND": element("DE", "IDS_FILE_S_FOUND", "%s Datei(en)")}),
             "placeholders"),
            ("licence without option",
             language_lines("DE", {tool.LICENSE_ID: element("DE", tool.LICENSE_ID, "{\\rtf1 x\\par}")}),
             "needs Options"),
            ("option on a plain text",
             language_lines("DE", {"IDS_OK": element("DE", "IDS_OK", "OK", "NoCrLfConvert")}), "only used on"),
            ("non-ASCII RTF",
             language_lines("DE", {tool.LICENSE_ID: element("DE", tool.LICENSE_ID, "{\\rtf1 Lizenzgebühr\\par}",
                                                           "NoCrLfConvert")}), "plain ASCII"),
            ("unbalanced RTF",
             language_lines("DE", {tool.LICENSE_ID: element("DE", tool.LICENSE_ID, "{\\rtf1 x\\par",
                                                           "NoCrLfConvert")}), "not well formed"),
            ("welcome with line-break escape",
             language_lines("DE", {welcome: element("DE", welcome, welcome_rtf(
                 [HEADINGS[s] for s in tool.QUICK_LINK_IDS], "a\\r\\n b"))}), "loader converts"),
            ("welcome lacks a heading",
             language_lines("DE", {welcome: element("DE", welcome, welcome_rtf(
                 [HEADINGS[s] for s in tool.QUICK_LINK_IDS[:-1]]))}), "not found in the welcome text"),
            ("link text met before its heading",
             language_lines("DE", {welcome: element("DE", welcome, welcome_rtf(
                 [HEADINGS[s] for s in tool.QUICK_LINK_IDS], "See how it works below."))}),
             "is not its section heading"),
        ]
        for name, lines, want in cases:
            with self.subTest(name):
                items = self.problems_of("DE", lines)
                self.assertTrue(any(want in i for i in items), f"{name}: {want!r} not in {items}")

    def test_sound_file_passes(self):
        self.assertEqual(self.problems_of("DE", language_lines("DE")), [])

    def test_whole_word_search_matches_the_rich_edit(self):
        cases = [
            # (name, text, needle, expected offset)
            ("ignores case", "xx HOW it works", "how it works", 3),
            ("skips a hit inside a word", "show it works; how it works", "how it works", 15),
            ("keeps offsets after ß", "Straße: Größe und mehr Größe", "größe", 8),
            ("absent", "nothing here", "missing", -1),
        ]
        for name, text, needle, want in cases:
            self.assertEqual(tool.find_whole_word(text, needle), want, name)


class DocumentOutput(unittest.TestCase):
    def test_document_layout(self):
        entries = {}
        for code in ("DK", "UK"):
            problems = tool.Problems()
            entries[code] = {
                sid: tool.Entry(sid, code, tool.NO_CRLF_CONVERT if sid == tool.LICENSE_ID else None,
                                f"{code} <br> & {sid}", 0)
                for sid in tool.STRING_IDS
            }
            self.assertFalse(problems)
        data = tool.build_document([("DK", "Dansk", entries["DK"]), ("UK", "English(UK)", entries["UK"])])
        self.assertEqual(data[:2], b"\xff\xfe", "UTF-16LE byte-order mark")
        text = data[2:].decode("utf-16-le")
        self.assertTrue(text.startswith("<?xml"), "prolog first")
        self.assertIn("&lt;br&gt; &amp;", text, "line-break marker and ampersand written as entities")
        root = ET.fromstring(text.split("?>", 1)[1])
        self.assertEqual(root.tag, "MorvaneSoftware")
        resource = root.find("Tessaly/Resource")
        langs = [(l.get("LangCode"), l.text) for l in resource.find("AvailableLanguages")]
        self.assertEqual(langs, [("DK", "Dansk"), ("UK", "English(UK)")])
        strings = resource.findall("String")
        self.assertEqual(len(strings), 2 * len(tool.STRING_IDS))
        self.assertEqual([(s.get("SID"), s.get("Lang")) for s in strings[:4]],
                         [(tool.STRING_IDS[0], "DK"), (tool.STRING_IDS[0], "UK"),
                          (tool.STRING_IDS[1], "DK"), (tool.STRING_IDS[1], "UK")])
        licence = [s for s in strings if s.get("SID") == tool.LICENSE_ID]
        self.assertTrue(all(s.get("Options") == tool.NO_CRLF_CONVERT for s in licence))
        self.assertEqual(strings[0].text, f"DK <br> & {tool.STRING_IDS[0]}")


if __name__ == "__main__":
    unittest.main()
