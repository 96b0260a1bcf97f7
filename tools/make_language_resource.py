#!/usr/bin/env python3
"""Assemble resources/LanguageResource.xml from the per-language files in resources/lang/.

Each translator keeps one UTF-8 file, resources/lang/<CODE>.xml, holding only that language's
"String" elements in document order. This script checks every file and writes the UTF-16LE
document that Tessres carries as its "XMLLanguage" resource: the prolog, the company, program and
"Resource" elements, the list of available languages, then for each string ID its eleven
languages in the listed order.

Usage:
  make_language_resource.py                 check all languages and write the document
  make_language_resource.py --check         check, and fail if the committed document differs
  make_language_resource.py --lint [CODE..] check the language files only (nothing is written)
  --allow-missing                           missing language files are not an error (for trying
                                            things out; never commit such a document)

Every problem is printed as "<file>: <ID>: <message>"; the exit status is 1 when there is one.
"""

import argparse
import os
import re
import sys
import xml.etree.ElementTree as ET

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
LANG_DIR = os.path.join(ROOT, "resources", "lang")
OUTPUT = os.path.join(ROOT, "resources", "LanguageResource.xml")

# The languages in the order of the "AvailableLanguages" list; the program selects the first one
# when nothing else is chosen, and the installer shows the display names.
LANGUAGES = [
    ("DK", "Dansk"),
    ("DE", "German"),
    ("ES", "Spanish"),
    ("FI", "Finnish"),
    ("IT", "Italian"),
    ("NL", "Dutch"),
    ("PL", "Polish"),
    ("PT", "Portuguese"),
    ("SE", "Swedish"),
    ("UK", "English(UK)"),
    ("US", "English(US)"),
]

# All string IDs, in document order.
STRING_IDS = """
IDS_PROGRAMTITLE IDS_PROGRAMLOGIN IDS_ENTERPASSWORD IDS_ENTERNEWPASSWORD IDS_INVALIDPASSWORD
IDS_ERROR IDS_OK IDS_CANCEL IDS_FORGOTPASSWORD IDS_PASSWORDMISSING IDS_WRONGANSWER IDS_YES IDS_NO
IDS_CHECKFORUPDATES IDS_IMPORTANT IDS_NOPERSONALINFORMATION IDS_WILLBERECORDED
IDS_CHECKINGFORUPDATES IDS_NOUPDATESAVAILABLE IDS_DOWNLOADINGUPDATES IDS_WELCOMETOTSY
IDS_DONTSHOWATSTARTUP IDS_QUICKLINKS IDS_WHATISTSY IDS_AVOIDINGILLEGAL IDS_HOWTSYWORKS
IDS_FINDINGANDREMOVINGSOFTWARE IDS_FINDINGANDREMOVINGILLEGALMUSIC IDS_FINDINGFILESINOTHER
IDS_USETSYINCONFIDENCE IDS_HOWTOGETMUSICLEGALLY IDS_FILE IDS_SAVERESULT IDS_PRINTRESULT
IDS_CLOSEANDRUN IDS_EXIT IDS_SCAN IDS_STARTSCAN IDS_STOPSCAN IDS_PAUSESCAN IDS_EDIT IDS_SELECTALL
IDS_UNSELECTALL IDS_DELETESELECTED IDS_VIEW IDS_FILESHARINGSOFTWAREWINDOW
IDS_ALLFILESINSHAREDFOLDERSWINDOW IDS_MUSICVIDEOIMAGEFILESWINDOW IDS_MAINMENUWINDOW IDS_TOOLS
IDS_OPTIONS IDS_HELP IDS_INTRODUCTION IDS_TSYUSERGUIDE IDS_FAQS IDS_LICENSEAGREEMENT IDS_ABOUT
IDS_WARNING IDS_EXIT_DIALOGBODY IDS_OPENPROGRAM IDS_RESCAN IDS_STOP IDS_PAUSE IDS_FAQ
IDS_WELCOME_RTFILETEXT IDS_FAQS_CHMFILENAME IDS_HELP_CHMFILENAME IDS_HELPFILENOTFOUND IDS_BROWSE IDS_ALLLOCALDRIVES
IDS_SEARCHFORMUSICFILES IDS_SEARCHFORVIDEOFILES IDS_SEARCHFORIMAGEFILES
IDS_SEARCHFORFILESHARINGSOFTWARE IDS_SEARCHFORMUSICVIDEOFILES IDS_SEARCHFORMUSICVIDEOSOFTWARE
IDS_LABEL_LEFTINFOTEXT IDS_MUSICVIDEOIMAGEINOTHERFOLDERS IDS_MAINMENU IDS_READY
IDC_TEXT_TOPICLABEL IDS_SCANNOW IDS_TOPIC_P2PHEADLINE IDS_TOPIC_P2PSUBHEADLINE IDS_TOPIC_P2PBODY
IDS_TOPIC_SHAREDHEADLINE IDS_TOPIC_SHAREDSUBHEADLINE IDS_TOPIC_SHAREDBODY IDS_TOPIC_FILESHEADLINE
IDS_TOPIC_FILESSUBHEADLINE IDS_TOPIC_FILESPBODY IDS_TOPIC_FAQHEADLINE IDS_TOPIC_FAQBODY
IDS_PASSWORDQUESTION IDS_ENTERANSWER IDS_FILESHARINGSOFTWARE IDS_ALLFILESINSHAREDFOLDERS
IDS_DESCRIPTION IDS_NUMBEROFCOPIESFOUND IDS_BLOCK IDS_DELETE IDS_CHECKALLITEMS
IDS_SEARCHINGPLEASEWAIT IDS_MUSICVIDEOINSHAREDFOLDERS IDS_FILEPATH IDS_FILESIZE IDS_FILETYPE
IDS_IMAGEINSHAREDFOLDERS IDS_OTHERFILESINSHAREDFOLDERS IDS_MUSICANDVIDEOFILESINOTHERFOLDERS
IDS_IMAGEFILESINOTHERFOLDERS IDS_SCANNING IDS_IMAGE IDS_MUSIC IDS_VIDEO IDS_FILE_S_FOUND
IDS_MUSICANDVIDEOFILES IDS_IMAGEFILES IDS_OTHERFILES IDS_TB IDS_GB IDS_MB IDS_KB IDS_BYTES
IDS_SCANDONE_STEP1_BODY IDS_SCANDONE_STEP1_COLUMN1 IDS_SCANDONE_STEP1_COLUMN2
IDS_SCANDONE_STEP1_TITLE IDS_SCANDONE_STEP2_BODY IDS_SCANDONE_STEP2_COLUMN1
IDS_SCANDONE_STEP2_TITLE IDS_SCANDONE_STEP3_BODY IDS_SCANDONE_STEP3_FINISHBUTTON
IDS_SCANDONE_STEP3_TITLE IDS_NEXT IDS_BACK IDS_FINISH IDS_NUMBEROFFILES IDS_MUSICFILES
IDS_VIDEOFILES IDS_P2PAPPLICATIONS IDS_MUSICSETTINGS IDS_MINIMUMFILESIZE IDS_MAXIMUMFILESIZE
IDS_MUSICSETTINGSBODY IDS_VIDEOSETTINGS IDS_VIDEOSETTINGSBODY IDS_AFILESHARINGSOFTWARE
IDS_HASBEENIDENTIFIEDAS IDS_BLOCKSOFTWARE IDS_IFYOUARESUREBLOCKP2P IDS_SOFTWAREISBLOCKED
IDS_YOUHAVESUCCESSFULLYBLOCKED IDS_DELETEIMAGEFILES IDS_FILENAME IDS_DELETEFILEBODYTOP
IDS_DELETEFILEBODYMIDDLEBOLD IDS_DELETEFILEBODYBOTTOM IDS_ONEORMOREFILESSHOULDBEDELETEDMANUALLY
IDS_FILESCOULDNOTBEDELETED
IDS_P2P_VIEWDESCRIPTION_BODY IDS_SHAREDMEDIA_VIEWDESCRIPTION_BODY
IDS_SHAREDIMAGES_VIEWDESCRIPTION_BODY IDS_SHAREDOTHER_VIEWDESCRIPTION_BODY
IDS_OTHERMUSICVIDEOIMAGE_VIEWDESCRIPTION_BODY IDS_IMAGESINOTHERFOLDERS
IDS_OTHERIMAGES_VIEWDESCRIPTION_BODY IDS_UNINSTALLFILESHARINGSOFTWARE IDS_DELETEFILEBODYTOPP2P
IDS_UNINSTALLINGFILESHARINGSOFTWARE IDS_PLEASEWAITWHILETHEP2PISBEINGUNINSTALLED
IDS_FILESHARINGHASNOTBEENCOMPLETELYUNINSTALLED IDS_FILESHARINGHASBEENSUCCESFULLYUNINSTALLED
IDS_LICENSEDISCLAIMER IDS_IAGREE IDS_IDONOTAGREE IDS_LICENSE_RTFDATA IDS_SECURITYSETTINGS
IDS_NEWPASSWORDDISCLAIMER IDS_REENTERPASSWORD IDS_CHOOSEANSWER IDS_CHOOSEQUESTION
IDS_WHATISYOURFAVORITEMOVIE IDS_ERRORPASSWORDMUSTBEATLEAST6 IDS_ERRORPASSWORDDOESNOTMATCH
IDS_ERRORYOUMUSTCHOOSEANANSWER IDS_ERRORYOUMUSTCHOOSEAQUESTION
""".split()

WELCOME_ID = "IDS_WELCOME_RTFILETEXT"
LICENSE_ID = "IDS_LICENSE_RTFDATA"
RTF_IDS = (WELCOME_ID, LICENSE_ID)

# The quick links of the welcome dialog. A click searches the rich edit for the link's text
# (whole word, ignoring case, from the top) and scrolls the first hit to the top, so each text
# must first appear as the heading of its section.
QUICK_LINK_IDS = [
    "IDS_WHATISTSY",
    "IDS_AVOIDINGILLEGAL",
    "IDS_HOWTSYWORKS",
    "IDS_FINDINGANDREMOVINGSOFTWARE",
    "IDS_FINDINGANDREMOVINGILLEGALMUSIC",
    "IDS_FINDINGFILESINOTHER",
    "IDS_USETSYINCONFIDENCE",
    "IDS_HOWTOGETMUSICLEGALLY",
]

NO_CRLF_CONVERT = "NoCrLfConvert"

# Texts that are loaded with "NoCrLfConvert" (the option is required on these); the welcome text
# may carry it as well.
NO_CONVERT_REQUIRED = {LICENSE_ID}
OPTIONS_ALLOWED = {LICENSE_ID, WELCOME_ID}

# The reference language for placeholders and accelerators.
REFERENCE_LANG = "UK"

PRINTF_RE = re.compile(r"%[-+ #0]*(?:\d+|\*)?(?:\.(?:\d+|\*))?(?:I64|I32|ll|hh|l|h|L|z|j|t|I)?[diouxXeEfgGaAcCsSpn%]")
ENTITY_RE = re.compile(r"&(?!(?:lt|gt|amp|quot|apos);)")


class Problems:
    def __init__(self):
        self.items = []

    def add(self, where, sid, message):
        self.items.append(f"{where}: {sid or '-'}: {message}")

    def __bool__(self):
        return bool(self.items)


# ---------------------------------------------------------------------------------------------
# RTF: a reader just large enough to see the text that the rich edit shows.

# Destinations whose content is not shown.
RTF_HIDDEN_DESTINATIONS = {
    "fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer", "headerl", "headerr",
    "footerl", "footerr", "footnote", "listtable", "listoverridetable", "revtbl", "generator",
    "xmlnstbl", "themedata", "colorschememapping", "latentstyles", "datastore", "rsidtbl",
    "filetbl", "object", "fldinst", "bkmkstart", "bkmkend",
}

RTF_TOKEN_RE = re.compile(
    r"\\([a-zA-Z]+)(-?\d+)? ?"  # control word with optional parameter and delimiter space
    r"|\\'([0-9a-fA-F]{2})"  # hex-escaped byte
    r"|\\(.)"  # control symbol
    r"|([{}])"
    r"|([^\\{}\r\n]+)"
    r"|[\r\n]",
    re.S,
)


def rtf_to_text(rtf):
    """The plain text of an RTF document, paragraphs ended by "\\n"; raises ValueError."""
    out = []
    stack = []
    hidden = False
    uc = 1
    skip = 0  # fallback characters still to drop after a \uN
    codepage = "cp1252"
    group_start = False
    for m in RTF_TOKEN_RE.finditer(rtf):
        word, param, hexbyte, symbol, brace, text = m.groups()
        if brace == "{":
            stack.append((hidden, uc))
            group_start = True
            continue
        if brace == "}":
            if not stack:
                raise ValueError("unbalanced '}'")
            hidden, uc = stack.pop()
            group_start = False
            skip = 0
            continue
        first_in_group = group_start
        group_start = False
        if symbol is not None:
            if symbol == "*" and first_in_group:
                hidden = True
                group_start = False
            elif symbol in "\\{}":
                if skip:
                    skip -= 1
                elif not hidden:
                    out.append(symbol)
            elif symbol == "~":
                if not hidden:
                    out.append("\u00a0")
            elif symbol in "-_":
                pass
            elif symbol in "\r\n":
                if not hidden:
                    out.append("\n")
            continue
        if hexbyte is not None:
            if skip:
                skip -= 1
            elif not hidden:
                out.append(bytes([int(hexbyte, 16)]).decode(codepage, errors="replace"))
            continue
        if word is not None:
            if first_in_group and word in RTF_HIDDEN_DESTINATIONS:
                hidden = True
            elif word == "ansicpg" and param:
                codepage = "cp" + param
            elif word == "uc" and param is not None:
                uc = int(param)
            elif word == "u" and param is not None:
                value = int(param)
                if value < 0:
                    value += 65536
                if not hidden:
                    out.append(chr(value))
                skip = uc
            elif word in ("par", "line", "sect", "page"):
                if not hidden:
                    out.append("\n")
            elif word == "tab":
                if not hidden:
                    out.append("\t")
            elif word in ("emdash", "endash", "bullet", "lquote", "rquote", "ldblquote", "rdblquote"):
                if not hidden:
                    out.append({"emdash": "\u2014", "endash": "\u2013", "bullet": "\u2022",
                                "lquote": "\u2018", "rquote": "\u2019", "ldblquote": "\u201c",
                                "rdblquote": "\u201d"}[word])
            continue
        if text is not None:
            if skip:
                n = min(skip, len(text))
                text = text[n:]
                skip -= n
            if not hidden:
                out.append(text)
    if stack:
        raise ValueError("unbalanced '{'")
    return "".join(out)


def is_word_char(c):
    return c.isalnum() or c == "_"


def fold_case(text):
    return "".join(c.lower() if len(c.lower()) == 1 else c for c in text)


def find_whole_word(haystack, needle):
    """First case-insensitive whole-word hit, as the rich edit's find with FR_WHOLEWORD does."""
    # Lower-case character by character so that offsets stay those of the original text
    # (casefold() would turn one "ß" into two characters).
    hay = fold_case(haystack)
    ndl = fold_case(needle)
    start = 0
    while True:
        i = hay.find(ndl, start)
        if i < 0:
            return -1
        before = haystack[i - 1] if i > 0 else " "
        after = haystack[i + len(needle)] if i + len(needle) < len(haystack) else " "
        if not (is_word_char(before) and is_word_char(needle[0])) and not (
            is_word_char(after) and is_word_char(needle[-1])
        ):
            return i
        start = i + 1


def check_rtf(where, sid, text, options, problems):
    if not text.startswith("{\\rtf1"):
        problems.add(where, sid, "RTF text must begin with {\\rtf1")
    bad = sorted({c for c in text if not (" " <= c <= "~")})
    if bad:
        shown = " ".join(f"U+{ord(c):04X}" for c in bad[:8])
        problems.add(where, sid, f"RTF text must be plain ASCII (escape with \\uN?): {shown}")
    if NO_CRLF_CONVERT not in options:
        # Without the option the loader would turn these into line breaks inside the RTF.
        if "\\r\\n" in text:
            problems.add(where, sid, "contains \\r\\n, which the loader converts (no NoCrLfConvert)")
        if "<br>" in text:
            problems.add(where, sid, "contains <br>, which the loader converts (no NoCrLfConvert)")
    try:
        return rtf_to_text(text)
    except ValueError as e:
        problems.add(where, sid, f"RTF is not well formed: {e}")
        return None


def check_welcome_headings(where, plain, texts, problems):
    paragraphs = []
    pos = 0
    for para in plain.split("\n"):
        paragraphs.append((pos, para))
        pos += len(para) + 1
    last = -1
    for sid in QUICK_LINK_IDS:
        link = texts.get(sid)
        if link is None:
            continue
        link = convert_line_breaks(link)
        hit = find_whole_word(plain, link)
        if hit < 0:
            problems.add(where, WELCOME_ID, f"quick link {sid} text {link!r} not found in the welcome text")
            continue
        heading = next((p for p in paragraphs if p[0] <= hit < p[0] + len(p[1]) + 1), None)
        if heading is None or heading[1].strip() != link or heading[0] + len(heading[1]) - len(heading[1].lstrip()) != hit:
            context = plain[max(0, hit - 30): hit + len(link) + 30].replace("\n", " | ")
            problems.add(
                where, WELCOME_ID,
                f"the first match of quick link {sid} ({link!r}) is not its section heading: ...{context}...",
            )
            continue
        if hit < last:
            problems.add(where, WELCOME_ID, f"heading of {sid} comes before the previous quick link's heading")
        last = hit


def convert_line_breaks(text):
    return text.replace("<br>", "\r\n").replace("\\r\\n", "\r\n")


# ---------------------------------------------------------------------------------------------
# One language file.

class Entry:
    def __init__(self, sid, lang, options, text, line):
        self.sid = sid
        self.lang = lang
        self.options = options
        self.text = text
        self.line = line


def accelerators(text):
    return len(re.findall(r"(?<!&)&(?!&)", text.replace("&&", "")))


def read_language(code, problems):
    """Returns {ID: Entry} for one language file, or None when the file is missing."""
    path = os.path.join(LANG_DIR, f"{code}.xml")
    where = os.path.relpath(path, ROOT)
    if not os.path.exists(path):
        return None
    with open(path, "rb") as f:
        raw_bytes = f.read()
    if raw_bytes.startswith(b"\xef\xbb\xbf"):
        raw_bytes = raw_bytes[3:]
    try:
        raw = raw_bytes.decode("utf-8")
    except UnicodeDecodeError as e:
        problems.add(where, None, f"not UTF-8: {e}")
        return {}

    lines = raw.split("\n")
    for number, line in enumerate(lines, 1):
        for m in ENTITY_RE.finditer(line):
            problems.add(where, None, f"line {number}: '&' that is not one of &lt; &gt; &amp; &quot; &apos;")
        if "<![CDATA[" in line:
            problems.add(where, None, f"line {number}: CDATA sections are not used in the resource")
        if "<?" in line or "<!DOCTYPE" in line:
            problems.add(where, None, f"line {number}: only String elements and comments belong in a language file")

    # Each element must sit on one line: a raw newline inside a text would become part of it.
    for m in re.finditer(r"<String\b[^>]*>([^<]*)</String>", raw):
        if "\n" in m.group(1) or "\r" in m.group(1):
            line = raw.count("\n", 0, m.start()) + 1
            problems.add(where, None, f"line {line}: raw line break inside a text (write &lt;br&gt;)")

    try:
        root = ET.fromstring("<LanguageFile>\n" + raw + "\n</LanguageFile>")
    except ET.ParseError as e:
        line, col = e.position
        problems.add(where, None, f"not a well-formed XML fragment: line {line - 1}, column {col}: {e.msg.split(':')[0]}")
        return {}
    if root.text and root.text.strip():
        problems.add(where, None, "text outside the String elements")

    entries = {}
    order = []
    line_of = [raw.count("\n", 0, m.start()) + 1 for m in re.finditer(r"<String\b", raw)]
    for index, el in enumerate(root):
        line = line_of[index] if index < len(line_of) else 0
        if el.tail and el.tail.strip():
            problems.add(where, None, f"line {line}: text outside the String elements")
        if el.tag != "String":
            problems.add(where, None, f"line {line}: unexpected element <{el.tag}>")
            continue
        sid = el.get("SID")
        lang = el.get("Lang")
        extra = set(el.attrib) - {"SID", "Lang", "Options"}
        if not sid:
            problems.add(where, None, f"line {line}: String without SID")
            continue
        if extra:
            problems.add(where, sid, f"unexpected attributes {sorted(extra)}")
        if lang != code:
            problems.add(where, sid, f"Lang is {lang!r}, expected {code!r}")
        if len(el):
            problems.add(where, sid, "String contains child elements")
            continue
        if sid not in STRING_ID_SET:
            problems.add(where, sid, "unknown string ID")
            continue
        if sid in entries:
            problems.add(where, sid, f"line {line}: ID occurs more than once")
            continue
        entry = Entry(sid, lang, el.get("Options"), el.text or "", line)
        entries[sid] = entry
        order.append(sid)

    for sid in STRING_IDS:
        if sid not in entries:
            problems.add(where, sid, "missing")
    present = [sid for sid in STRING_IDS if sid in entries]
    if order != present:
        for got, want in zip(order, present):
            if got != want:
                problems.add(where, got, f"out of document order (expected {want} here)")
                break

    texts = {sid: e.text for sid, e in entries.items()}
    for sid, e in entries.items():
        text = e.text
        options = e.options or ""
        if e.options is not None and sid not in OPTIONS_ALLOWED:
            problems.add(where, sid, f"Options={e.options!r} is only used on the RTF texts")
        if sid in NO_CONVERT_REQUIRED and NO_CRLF_CONVERT not in options:
            problems.add(where, sid, f'needs Options="{NO_CRLF_CONVERT}"')
        if text == "" or text == " ":
            problems.add(where, sid, "empty text (one space or nothing marks a missing text)")
            continue
        if text.startswith("TODO:"):
            problems.add(where, sid, "untranslated (begins with TODO:)")
        if text != "  " and text != text.strip():
            problems.add(where, sid, "leading or trailing white space")
        if sid in RTF_IDS:
            plain = check_rtf(where, sid, text, options, problems)
            if sid == WELCOME_ID and plain is not None:
                check_welcome_headings(where, plain, texts, problems)
    return entries


STRING_ID_SET = set(STRING_IDS)


def compare_with_reference(code, entries, reference, problems):
    """Placeholders and accelerators must match the reference language, ID by ID."""
    where = f"resources/lang/{code}.xml"
    for sid, e in entries.items():
        ref = reference.get(sid)
        if ref is None or sid in RTF_IDS:
            continue
        want = [p for p in PRINTF_RE.findall(ref.text) if p != "%%"]
        got = [p for p in PRINTF_RE.findall(e.text) if p != "%%"]
        if want != got:
            problems.add(where, sid, f"placeholders {got} differ from {REFERENCE_LANG} {want}")
        if accelerators(ref.text) != accelerators(e.text):
            problems.add(
                where, sid,
                f"{accelerators(e.text)} '&' accelerator(s), {REFERENCE_LANG} has {accelerators(ref.text)}",
            )
        if ("\t" in ref.text) != ("\t" in e.text):
            problems.add(where, sid, f"tab (shortcut separator) differs from {REFERENCE_LANG}")


# ---------------------------------------------------------------------------------------------
# The document.

def escape_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def escape_attr(text):
    return escape_text(text).replace('"', "&quot;").replace("'", "&apos;")


def build_document(languages):
    """languages: list of (code, name, entries) in the listed order."""
    nl = "\r\n"
    out = ['<?xml version="1.0" encoding="UTF-16"?>', "<MorvaneSoftware>", "  <Tessaly>", "    <Resource>",
           "      <AvailableLanguages>"]
    for code, name, _ in languages:
        out.append(f'        <Language LangCode="{escape_attr(code)}">{escape_text(name)}</Language>')
    out.append("      </AvailableLanguages>")
    for sid in STRING_IDS:
        for code, _, entries in languages:
            e = entries[sid]
            options = f' Options="{escape_attr(e.options)}"' if e.options is not None else ""
            out.append(f'      <String SID="{escape_attr(sid)}" Lang="{escape_attr(code)}"{options}>'
                       f"{escape_text(e.text)}</String>")
    out += ["    </Resource>", "  </Tessaly>", "</MorvaneSoftware>", ""]
    return "\ufeff".encode("utf-16-le") + nl.join(out).encode("utf-16-le")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--check", action="store_true", help="verify; fail if the committed document differs")
    mode.add_argument("--lint", nargs="*", metavar="CODE", help="check language files only, write nothing")
    parser.add_argument("--allow-missing", action="store_true", help="do not fail on missing language files")
    parser.add_argument("--output", default=OUTPUT, help=argparse.SUPPRESS)
    args = parser.parse_args(argv)

    problems = Problems()
    missing = []
    loaded = {}
    known_codes = [c for c, _ in LANGUAGES]
    wanted = known_codes
    if args.lint:
        unknown = [c for c in args.lint if c not in known_codes]
        if unknown:
            parser.error(f"unknown language codes {unknown}")
        wanted = args.lint

    # The reference language is always read so that the others can be compared with it.
    for code in known_codes:
        if code not in wanted and code != REFERENCE_LANG:
            continue
        ref_problems = problems if code in wanted else Problems()
        entries = read_language(code, ref_problems)
        if entries is None:
            if code in wanted:
                missing.append(code)
            continue
        loaded[code] = entries

    reference = loaded.get(REFERENCE_LANG)
    if reference:
        for code in wanted:
            if code != REFERENCE_LANG and code in loaded:
                compare_with_reference(code, loaded[code], reference, problems)

    for item in problems.items:
        print(item)
    for code in missing:
        print(f"resources/lang/{code}.xml: -: missing language file" + (" (allowed)" if args.allow_missing else ""))

    failed = bool(problems) or (missing and not args.allow_missing)
    if args.lint is not None:
        print(f"checked {', '.join(c for c in wanted if c in loaded) or 'nothing'}: "
              f"{'problems found' if failed else 'ok'}")
        return 1 if failed else 0
    if failed:
        print("the language resource was not written" if not args.check else "check failed")
        return 1

    languages = [(c, n, loaded[c]) for c, n in LANGUAGES if c in loaded]
    if not languages:
        print("no language file found; nothing written")
        return 1
    document = build_document(languages)
    if args.check:
        try:
            with open(args.output, "rb") as f:
                current = f.read()
        except OSError:
            print(f"{os.path.relpath(args.output, ROOT)}: -: missing; run tools/make_language_resource.py")
            return 1
        if current != document:
            print(f"{os.path.relpath(args.output, ROOT)}: -: out of date; run tools/make_language_resource.py")
            return 1
        print(f"language resource up to date ({len(languages)} languages, {len(STRING_IDS)} IDs)")
        return 0
    with open(args.output, "wb") as f:
        f.write(document)
    print(f"wrote {os.path.relpath(args.output, ROOT)}: {len(languages)} languages, "
          f"{len(STRING_IDS) * len(languages)} String elements")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
