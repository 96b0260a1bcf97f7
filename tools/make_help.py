#!/usr/bin/env python3
"""Build the compiled HTML Help file of one language from resources/help/<CODE>/ with chmcmd.

The program opens "mk:@MSITStore:<program folder><IDS_HELP_CHMFILENAME>" and the same with
IDS_FAQS_CHMFILENAME. Both texts have the form ".\\<file>.chm::/<page>". Some languages spell the
file name of the two in different case (ES_Help.chm, ES_HELP.chm); Windows file names ignore
case, so one file serves both, named as IDS_HELP_CHMFILENAME spells it. Texts that name two
different files are an error.

Usage:
  make_help.py --list                           print "<CODE> <file name>" per language
  make_help.py --lang CODE --output DIR --work DIR [--chmcmd PATH]

The contents (the .hhc) are made from each page's <h1> and the <h2 id="..."> headings, in the
order of the project's pages: the user guide first, the FAQ second, then any other page.
"""

import argparse
import html
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
LANG_DIR = os.path.join(ROOT, "resources", "lang")
HELP_DIR = os.path.join(ROOT, "resources", "help")

# Language code: Windows locale identifier and ANSI code page of the help viewer's texts (title,
# contents entries).
LOCALES = {
    "DK": (0x0406, "cp1252"),
    "DE": (0x0407, "cp1252"),
    "ES": (0x0C0A, "cp1252"),
    "FI": (0x040B, "cp1252"),
    "IT": (0x0410, "cp1252"),
    "NL": (0x0413, "cp1252"),
    "PL": (0x0415, "cp1250"),
    "PT": (0x0816, "cp1252"),
    "SE": (0x041D, "cp1252"),
    "UK": (0x0809, "cp1252"),
    "US": (0x0409, "cp1252"),
}

HELP_TEXT_RE = re.compile(r"^\.\\([^\\/:*?\"<>|]+\.chm)::/([^#]+)$", re.IGNORECASE)


def read_strings(code):
    path = os.path.join(LANG_DIR, f"{code}.xml")
    with open(path, encoding="utf-8") as f:
        root = ET.fromstring("<Strings>" + f.read() + "</Strings>")
    return {e.get("SID"): (e.text or "") for e in root.iter("String")}


def help_target(code, strings):
    """The file name and the two pages that the language's texts name."""
    names = {}
    for sid in ("IDS_HELP_CHMFILENAME", "IDS_FAQS_CHMFILENAME"):
        m = HELP_TEXT_RE.match(strings.get(sid, ""))
        if not m:
            sys.exit(f"resources/lang/{code}.xml: {sid}: not of the form .\\<file>.chm::/<page>")
        names[sid] = (m.group(1), m.group(2))
    chm, guide = names["IDS_HELP_CHMFILENAME"]
    faq_chm, faq = names["IDS_FAQS_CHMFILENAME"]
    if chm.lower() != faq_chm.lower():
        sys.exit(f"resources/lang/{code}.xml: the help texts name two files ({chm}, {faq_chm})")
    return chm, guide, faq


H1_RE = re.compile(r"<h1[^>]*>(.*?)</h1>", re.S | re.I)
H2_RE = re.compile(r"<h2\s+id=\"([^\"]+)\"[^>]*>(.*?)</h2>", re.S | re.I)
TAG_RE = re.compile(r"<[^>]+>")


def plain(fragment):
    return " ".join(html.unescape(TAG_RE.sub("", fragment)).split())


def contents(pages, folder):
    """The .hhc sitemap: one entry per page, its sections below it."""
    def entry(name, local):
        return ('<LI><OBJECT type="text/sitemap">'
                f'<param name="Name" value="{html.escape(name)}">'
                f'<param name="Local" value="{html.escape(local)}"></OBJECT>\n')
    out = ['<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\n<HTML><BODY>\n<UL>\n']
    for page in pages:
        with open(os.path.join(folder, page), encoding="utf-8") as f:
            text = f.read()
        h1 = H1_RE.search(text)
        if not h1:
            sys.exit(f"{os.path.join(folder, page)}: no <h1>")
        out.append(entry(plain(h1.group(1)), page))
        sections = H2_RE.findall(text)
        if sections:
            out.append("<UL>\n")
            for anchor, title in sections:
                out.append(entry(plain(title), f"{page}#{anchor}"))
            out.append("</UL>\n")
    out.append("</UL>\n</BODY></HTML>\n")
    return "".join(out)


def build(code, output, work, chmcmd):
    strings = read_strings(code)
    chm, guide, faq = help_target(code, strings)
    lcid, codepage = LOCALES[code]
    source = os.path.join(HELP_DIR, code)
    if not os.path.isdir(source):
        sys.exit(f"resources/help/{code}: no help pages for this language")
    files = sorted(f for f in os.listdir(source) if not f.startswith("."))
    for page in (guide, faq):
        if page not in files:
            sys.exit(f"resources/help/{code}: the page {page} named by the language texts is missing")
    pages = [guide, faq] + [f for f in files if f.endswith(".htm") and f not in (guide, faq)]
    others = [f for f in files if not f.endswith(".htm")]

    if os.path.isdir(work):
        shutil.rmtree(work)
    os.makedirs(work)
    for f in files:
        shutil.copyfile(os.path.join(source, f), os.path.join(work, f))
    shutil.copyfile(os.path.join(HELP_DIR, "help.css"), os.path.join(work, "help.css"))
    others.append("help.css")

    def ansi(text):
        return text.encode(codepage, "xmlcharrefreplace")

    with open(os.path.join(work, "contents.hhc"), "wb") as f:
        f.write(ansi(contents(pages, source)))
    title = strings['IDS_TSYUSERGUIDE']
    project = ("[OPTIONS]\r\n"
               f"Compiled file={chm}\r\n"
               "Contents file=contents.hhc\r\n"
               f"Default topic={guide}\r\n"
               f"Language=0x{lcid:04x}\r\n"
               f"Title={title}\r\n"
               "\r\n[FILES]\r\n" + "".join(f"{f}\r\n" for f in pages + others))
    with open(os.path.join(work, "help.hhp"), "wb") as f:
        f.write(project.encode(codepage, "replace"))

    run = subprocess.run([chmcmd, "--no-html-scan", "help.hhp"], cwd=work, capture_output=True, text=True,
                         errors="replace")
    built = os.path.join(work, chm)
    if run.returncode != 0 or not os.path.isfile(built):
        sys.stderr.write(run.stdout + run.stderr)
        sys.exit(f"chmcmd failed for {code}")
    os.makedirs(output, exist_ok=True)
    # Replace a file of the same name in another case, so the folder never holds two.
    for existing in os.listdir(output):
        if existing.lower() == chm.lower() and existing != chm:
            os.remove(os.path.join(output, existing))
    shutil.copyfile(built, os.path.join(output, chm))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--list", action="store_true")
    parser.add_argument("--lang", choices=sorted(LOCALES))
    parser.add_argument("--output")
    parser.add_argument("--work")
    parser.add_argument("--chmcmd", default="chmcmd")
    args = parser.parse_args(argv)
    if args.list:
        for code in sorted(LOCALES):
            print(code, help_target(code, read_strings(code))[0])
        return 0
    if not (args.lang and args.output and args.work):
        parser.error("--lang, --output and --work are needed")
    build(args.lang, os.path.abspath(args.output), os.path.abspath(args.work), args.chmcmd)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
