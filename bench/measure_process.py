#!/usr/bin/env python3
"""Runs a command several times as a whole process (output to /dev/null) and prints the best wall
time, with that run's CPU time (user + system) and the largest peak resident memory of all runs.
Usage: measure_process.py RUNS LABEL COMMAND...   Output lines: LABEL_wall_s, LABEL_cpu_s,
LABEL_peak_rss_kib, LABEL_exit."""
import os
import sys
import time

runs, label, command = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
best = None
peak = 0
status = 0
for _ in range(runs):
    start = time.monotonic()
    pid = os.fork()
    if pid == 0:
        null = os.open(os.devnull, os.O_WRONLY)
        os.dup2(null, 1)
        os.dup2(null, 2)
        os.execvp(command[0], command)
    _, code, usage = os.wait4(pid, 0)
    wall = time.monotonic() - start
    status = os.waitstatus_to_exitcode(code)
    peak = max(peak, usage.ru_maxrss)
    if best is None or wall < best[0]:
        best = (wall, usage.ru_utime + usage.ru_stime)
print(f"{label}_wall_s {best[0]:.3f}")
print(f"{label}_cpu_s {best[1]:.3f}")
print(f"{label}_peak_rss_kib {peak}")
print(f"{label}_exit {status}")
