#!/usr/bin/env python3
"""Runs a test program of the updater against update_server.py on 127.0.0.1.

    run_with_server.py --release-tool tools/make_update_release.py [--wine] PROGRAM [ARGS...]

Starts the server on a port the system chooses, publishes a small release with the release
tool, hands the program the addresses through the environment and stops the server by its
PID afterwards:

    TESSALY_TEST_HTTP_BASE    http://127.0.0.1:PORT/
    TESSALY_TEST_HTTP_ROOT    the served folder (as a Windows path under Wine)
    TESSALY_TEST_CLOSED_PORT  a port on 127.0.0.1 nobody listens on
"""

import argparse
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


def closed_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def publish_release(tool, root, base):
    release = os.path.join(root, "release")
    os.makedirs(release)
    files = {"Tessaly.exe": b"MZ" + bytes(range(256)) * 40, "LanguageFile.xml": "<x>\u00e9</x>".encode("utf-16"),
             "Updater.exe": b"MZ updater " * 500}
    for name, data in files.items():
        with open(os.path.join(release, name), "wb") as handle:
            handle.write(data)
    subprocess.run([sys.executable, tool, "--version", "1.3.1.171", "--base-url", base + "release/", release],
                   check=True, stdout=subprocess.DEVNULL)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--release-tool", required=True)
    parser.add_argument("--wine", action="store_true")
    parser.add_argument("program", nargs=argparse.REMAINDER)
    args = parser.parse_args()

    root = tempfile.mkdtemp(prefix="tessaly-update-server-")
    server = subprocess.Popen([sys.executable, os.path.join(HERE, "update_server.py"), "--root", root],
                              stdout=subprocess.PIPE, text=True)
    try:
        port = int(server.stdout.readline())
        base = f"http://127.0.0.1:{port}/"
        publish_release(args.release_tool, root, base)
        env = dict(os.environ, TESSALY_TEST_HTTP_BASE=base,
                   TESSALY_TEST_HTTP_ROOT=windows_path(root) if args.wine else root,
                   TESSALY_TEST_CLOSED_PORT=str(closed_port()))
        command = (["wine"] if args.wine else []) + args.program
        return subprocess.call(command, env=env)
    finally:
        os.kill(server.pid, signal.SIGTERM)
        server.wait()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
