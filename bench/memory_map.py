#!/usr/bin/env python3
"""Where a Wine process's private bytes are: the resident anonymous pages of
its Linux mappings (smaps), grouped by the Windows region they fall in
(`probe regions`): each module image, and private memory by allocation.

    memory_map.py <probe regions output> <linux pid>
"""
import collections
import re
import sys


def smaps_anon(pid):
    ranges, cur = [], None
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            m = re.match(r"([0-9a-f]+)-([0-9a-f]+) ", line)
            if m:
                cur = [int(m.group(1), 16), int(m.group(2), 16), 0]
                ranges.append(cur)
            elif line.startswith("Anonymous:") and cur:
                cur[2] = int(line.split()[1])
    return ranges


def main():
    regions = []
    with open(sys.argv[1]) as f:
        for line in f:
            base, size, kind, alloc, name = line.rstrip("\n").split(" ", 4)
            base, size = int(base, 16), int(size, 16)
            label = name.rsplit("\\", 1)[-1] if kind == "image" else f"{kind} {alloc}"
            regions.append((base, base + size, label))
    totals = collections.Counter()
    for lo, hi, anon in smaps_anon(int(sys.argv[2])):
        if not anon:
            continue
        # Anonymous pages spread evenly over the mapping: good enough to rank.
        hit = False
        for rlo, rhi, label in regions:
            overlap = min(hi, rhi) - max(lo, rlo)
            if overlap > 0:
                totals[label] += anon * overlap / (hi - lo)
                hit = True
        if not hit:
            totals["(outside Windows regions: Wine's own)"] += anon
    images = sum(v for k, v in totals.items() if k.endswith((".dll", ".exe", ".drv")))
    print(f"total anon {sum(totals.values()):.0f} KB, in images {images:.0f} KB")
    for label, kb in totals.most_common(25):
        print(f"{kb:8.0f} KB  {label}")


if __name__ == "__main__":
    main()
