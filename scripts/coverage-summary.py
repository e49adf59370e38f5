#!/usr/bin/env python3
"""Sums gcovr's per-file JSON summary into one line per folder of src/, then the total."""
import json
import sys
from collections import defaultdict


def pct(covered, total):
    return f"{100.0 * covered / total:5.1f}%" if total else "    —"


def main(path):
    with open(path) as f:
        files = json.load(f)["files"]
    folders = defaultdict(lambda: [0, 0, 0, 0])
    for entry in files:
        name = entry["filename"]
        if not name.startswith("src/"):
            continue
        folder = name.rsplit("/", 1)[0]
        sums = folders[folder]
        sums[0] += entry["line_covered"]
        sums[1] += entry["line_total"]
        sums[2] += entry["branch_covered"]
        sums[3] += entry["branch_total"]
    total = [sum(v[i] for v in folders.values()) for i in range(4)]
    print(f"{'folder':28} {'lines':>16} {'branches':>18}")
    for folder in sorted(folders):
        lc, lt, bc, bt = folders[folder]
        print(f"{folder:28} {lc:6}/{lt:<6} {pct(lc, lt)} {bc:6}/{bt:<6} {pct(bc, bt)}")
    lc, lt, bc, bt = total
    print(f"{'src (all)':28} {lc:6}/{lt:<6} {pct(lc, lt)} {bc:6}/{bt:<6} {pct(bc, bt)}")


if __name__ == "__main__":
    main(sys.argv[1])
