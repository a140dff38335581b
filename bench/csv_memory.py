#!/usr/bin/env python3
"""Peak memory of harrow-cli on CSV files it refuses for their size.

Writes a 32 MiB raw-data file of empty fields and a 26 MB cases file of
more than 100,000 cases, runs harrow-cli on each and prints the peak
resident size (the kernel's maximum RSS of the child). Both are refused;
the reading must stay a small multiple of the file's size (target: under
300 MB each).

Usage: bench/csv_memory.py [path/to/harrow-cli]   (default: build/cli/harrow-cli)
"""
import os
import resource
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
CLI = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "cli", "harrow-cli")
WORKSHEET = os.path.join(HERE, "..", "examples", "worked-example.txt")
LIMIT_MB = 300


def peak_mb(arguments):
    """Runs the command alone in a fresh child and returns its peak RSS in MB and its exit code."""
    probe = ("import resource, subprocess, sys;"
             "r = subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL);"
             "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, r.returncode)")
    out = subprocess.run([sys.executable, "-c", probe] + arguments, capture_output=True, text=True, check=True)
    kib, code = out.stdout.split()
    return int(kib) / 1024.0, int(code)


def write(path, head, line, size):
    with open(path, "w") as f:
        f.write(head)
        written = len(head)
        chunk = line * (1 << 16)
        while written + len(chunk) <= size:
            f.write(chunk)
            written += len(chunk)
        while written + len(line) <= size:
            f.write(line)
            written += len(line)


def main():
    folder = tempfile.mkdtemp(prefix="harrow-memory-")
    raw = os.path.join(folder, "empty-fields.csv")
    write(raw, "a,b,c,d\n", ",,,\n", 32 * 1024 * 1024 - 1)
    one_line = os.path.join(folder, "one-line.csv")
    write(one_line, "", ",", 32 * 1024 * 1024 - 1)
    cases = os.path.join(folder, "cases.csv")
    write(cases, "case,Task,Educ\n", "P,30,8\n", 26 * 1000 * 1000)
    runs = [
        ("32 MiB of empty fields, raw data", [CLI, "--controls", raw, "--task", "a", "--covariates", "b",
                                               "--case", "1,2"], raw),
        ("32 MiB of separators on one line, raw data", [CLI, "--controls", one_line, "--task", "a",
                                                         "--covariates", "b", "--case", "1,2"], one_line),
        ("26 MB cases file", [CLI, "--cases", cases, WORKSHEET], cases),
    ]
    worst = 0.0
    for name, arguments, path in runs:
        mb, code = peak_mb(arguments)
        worst = max(worst, mb)
        print("%-45s file %6.1f MB  peak %7.1f MB  exit %d" % (name, os.path.getsize(path) / 1e6, mb, code))
    for path in (raw, one_line, cases):
        os.remove(path)
    os.rmdir(folder)
    print("worst peak %.1f MB (target under %d MB)" % (worst, LIMIT_MB))
    return 0 if worst < LIMIT_MB else 1


if __name__ == "__main__":
    sys.exit(main())
