#!/usr/bin/env python3
"""Runs the print test program against a private cupsd with a cups-pdf queue, then checks the PDF.

    run_with_cups.py [--keep-pdf FILE] --wine PROGRAM [ARGS...]

Starts cupsd in the foreground on a socket of its own (configuration, spool and logs in a scratch
folder), adds the queue "PDF" (cups-pdf) as default and hands the program, through the
environment:

    CUPS_SERVER               the socket (Wine's printing reads it)
    TESSALY_PRINT_EXPECTED    where the program writes the pages it printed (Windows path)
    TESSALY_PRINT_SKIP        set instead when cupsd cannot be started: the reason

The program writes one line "PAGE" before each page's lines and "TITLE <document title>" first.
After it ends, the newest PDF of that title in cups-pdf's output folder is checked: pdfinfo's page
count and, page by page, pdftotext's lines, which must hold the expected lines in order. cupsd is
stopped by its PID.
"""

import argparse
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

CUPSD = "/usr/sbin/cupsd"
PPD = "lsb/usr/cups-pdf/CUPS-PDF_opt.ppd"


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def start_cupsd(root):
    """The cupsd process and its socket, or (None, reason)."""
    if not os.path.exists(CUPSD) or not shutil.which("lpadmin"):
        return None, "cupsd or lpadmin is not installed (scripts/bootstrap installs cups)"
    if not os.path.exists("/usr/lib/cups/backend/cups-pdf"):
        return None, "the cups-pdf backend is not installed (printer-driver-cups-pdf)"
    socket_path = os.path.join(root, "cups.sock")
    for folder in ("spool", "spool/tmp", "cache", "state", "log", "ppd"):
        os.makedirs(os.path.join(root, folder), exist_ok=True)
    os.chmod(root, 0o755)
    os.chmod(os.path.join(root, "spool/tmp"), 0o1777)
    with open(os.path.join(root, "cupsd.conf"), "w") as conf:
        conf.write(f"Listen {socket_path}\nLogLevel warn\nWebInterface No\nBrowsing No\n"
                   "DefaultAuthType None\n"
                   "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                   "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n  </Limit>\n</Policy>\n")
    with open(os.path.join(root, "cups-files.conf"), "w") as conf:
        conf.write(f"ServerRoot {root}\nRequestRoot {root}/spool\nTempDir {root}/spool/tmp\n"
                   f"CacheDir {root}/cache\nStateDir {root}/state\nErrorLog {root}/log/error_log\n"
                   f"AccessLog {root}/log/access_log\nPageLog {root}/log/page_log\n"
                   "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\n")
    cupsd = subprocess.Popen([CUPSD, "-f", "-c", os.path.join(root, "cupsd.conf"),
                              "-s", os.path.join(root, "cups-files.conf")],
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    for _ in range(100):
        if cupsd.poll() is not None:
            return None, "cupsd ended at once: " + cupsd.stderr.read().decode(errors="replace").strip()
        if os.path.exists(socket_path):
            break
        time.sleep(0.05)
    else:
        stop(cupsd)
        return None, "cupsd did not open its socket"
    env = dict(os.environ, CUPS_SERVER=socket_path)
    added = subprocess.run(["lpadmin", "-p", "PDF", "-v", "cups-pdf:/", "-E", "-m", PPD], env=env,
                           capture_output=True, text=True)
    if added.returncode != 0:
        stop(cupsd)
        return None, "lpadmin could not add the cups-pdf queue: " + added.stderr.strip()
    subprocess.run(["lpoptions", "-d", "PDF"], env=env, capture_output=True)
    return cupsd, socket_path


def stop(cupsd):
    os.kill(cupsd.pid, signal.SIGTERM)
    cupsd.wait()


def pdf_output_folder():
    for line in open("/etc/cups/cups-pdf.conf", encoding="utf-8", errors="replace"):
        line = line.strip()
        if line.startswith("Out "):
            return line[4:].strip().replace("${HOME}", os.path.expanduser("~"))
    return os.path.expanduser("~/PDF")


def check_pdf(expected_file, env, started, keep):
    lines = open(expected_file, encoding="utf-8").read().splitlines()
    title = lines[0][len("TITLE "):]
    pages = []
    for line in lines[1:]:
        if line == "PAGE":
            pages.append([])
        else:
            pages[-1].append(line)
    # The queue empties when cups-pdf has written the file.
    deadline = time.time() + 60
    pdf = None
    while time.time() < deadline:
        queue = subprocess.run(["lpstat", "-o", "PDF"], env=env, capture_output=True, text=True).stdout.strip()
        found = [p for p in glob.glob(os.path.join(pdf_output_folder(), "*.pdf"))
                 if title in os.path.basename(p) and os.path.getmtime(p) >= started - 1]
        if not queue and found:
            pdf = max(found, key=os.path.getmtime)
            break
        time.sleep(0.2)
    if not pdf:
        print(f"run_with_cups: no PDF titled {title} in {pdf_output_folder()}", file=sys.stderr)
        return 1
    time.sleep(0.5)  # cups-pdf renames the finished file into place; let it settle
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout
    count = next((int(l.split()[1]) for l in info.splitlines() if l.startswith("Pages:")), -1)
    failures = 0
    if count != len(pages):
        print(f"run_with_cups: {pdf} has {count} pages, the report printed {len(pages)}", file=sys.stderr)
        failures += 1
    for number, want in enumerate(pages, start=1):
        got = subprocess.run(["pdftotext", "-f", str(number), "-l", str(number), "-layout", pdf, "-"],
                             capture_output=True, text=True).stdout
        # pdftotext does not keep runs of spaces (the two between date and time): compare words.
        got_lines = [" ".join(l.split()) for l in got.splitlines() if l.strip()]
        at = 0
        for line in want:
            while at < len(got_lines) and got_lines[at] != " ".join(line.split()):
                at += 1
            if at == len(got_lines):
                print(f"run_with_cups: page {number}: missing or out of order: {line!r}\n  page text: {got_lines}",
                      file=sys.stderr)
                failures += 1
                break
            at += 1
    if failures == 0:
        print(f"run_with_cups: {pdf}: {count} pages, every line where the pagination put it")
        if keep:
            shutil.copyfile(pdf, keep)
        os.remove(pdf)
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine", action="store_true")
    parser.add_argument("--keep-pdf", help="copy the checked PDF here")
    parser.add_argument("program", nargs=argparse.REMAINDER)
    args = parser.parse_args()

    root = tempfile.mkdtemp(prefix="tessaly-cups-")
    cupsd, where = start_cupsd(root)
    try:
        expected = os.path.join(root, "expected.txt")
        env = dict(os.environ)
        if cupsd is None:
            env["TESSALY_PRINT_SKIP"] = where
        else:
            env["CUPS_SERVER"] = where
            env["TESSALY_PRINT_EXPECTED"] = windows_path(expected) if args.wine else expected
        started = time.time()
        command = (["wine"] if args.wine else []) + args.program
        result = subprocess.call(command, env=env)
        if result != 0 or cupsd is None:
            return result
        if not os.path.exists(expected):
            return result  # the program skipped or filtered the print test out
        return check_pdf(expected, env, started, args.keep_pdf)
    finally:
        if cupsd is not None:
            stop(cupsd)
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
