#!/usr/bin/env python3
"""Turns bench/run.sh's raw figures into the results tables (Markdown).

    report.py --idle S --memory-at S --hz N <fake platform figures> <raw figures of a DPI>...
"""
import argparse
import collections
import datetime
import os
import platform
import re
import statistics
import subprocess

PROGRAMS = ("Veltrane", "same_window", "baseline")
TARGET = "1_sec_warn"  # Veltrane's setting the targets are for
PERIODS = (("1_sec_nowarn", "every 1 s"), ("10_sec_nowarn", "every 10 s"), ("1_min_nowarn", "every 1 min"),
           ("1_Off_nowarn", "no check"))
CHECKING = "/check"  # same_window doing Veltrane's "1_sec_nowarn" by hand


def fields(line):
    return dict(re.findall(r"(\w+)=(\S+)", line))


def median(values):
    return statistics.median(values) if values else float("nan")


def verdict(value, limit):
    return "met" if value <= limit else "**not met**"


def ratio_cell(a, b, limit=None, digits=2):
    """a / b as a table cell, with the verdict against `limit`; "-" where
    either figure is missing, b is nothing or a figure above a background
    came out below it (noise, in a short run)."""
    if not (a == a and b == b) or b <= 0 or a < 0:
        return "-"
    r = a / b
    return f"{r:.{digits}f}" + (f": {verdict(r, limit)}" if limit is not None else "")


def handle_rows(p, lines, first=""):
    """The rows of live handle counts and private KB among a run's lines."""
    kinds = ("icons", "regions", "brushes", "bitmaps", "dcs", "pens", "fonts", "menus", "private_kb")
    for line in lines:
        if "icons=" in line:
            f = fields(line)
            p(f"{first}| {line.split()[0]} | " + " | ".join(f[k] for k in kinds) + " |")


def machine():
    cpu = "?"
    try:
        with open("/proc/cpuinfo") as f:
            cpu = next(l.split(":", 1)[1].strip() for l in f if l.startswith("model name"))
    except (OSError, StopIteration):
        pass
    try:
        wine = subprocess.run(["/usr/lib/wine/wine64", "--version"], capture_output=True, text=True).stdout.strip()
    except OSError:
        wine = "?"
    return f"{cpu}, {os.cpu_count()} cores, {platform.system()} {platform.release()}, {wine}"


class Dpi:
    """The figures of one DPI's session."""

    def __init__(self, path):
        self.logpixels = "?"
        self.starts = collections.defaultdict(list)
        self.idles = collections.defaultdict(list)  # (program, setting) -> rows
        self.leak, self.hand, self.top, self.soak = [], [], [], []
        with open(path) as f:
            for line in f:
                kind, _, rest = line.strip().partition(" ")
                d = fields(rest)
                if kind == "dpi":
                    self.logpixels = d["logpixels"]
                elif kind == "startup":
                    self.starts[d["prog"]].append(d)
                elif kind == "idle":
                    self.idles[(d["prog"], d["check"])].append(d)
                elif kind == "leak":
                    self.leak.append(rest)
                elif kind == "hand":
                    self.hand.append(rest)
                elif kind == "topusers":
                    self.top.append(rest)
                elif kind == "soak":
                    self.soak.append(rest)

    @property
    def title(self):
        return f"{self.logpixels} DPI ({round(int(self.logpixels) / 96 * 100)} %)" if self.logpixels.isdigit() \
            else self.logpixels

    def start(self, prog, key):
        return median([float(d[key]) for d in self.starts[prog] if key in d])

    def rows(self, prog, setting=None):
        """The idle runs of a program; Veltrane's at the targets' setting and
        the others' without a switch unless told otherwise."""
        if setting is None:
            setting = TARGET if prog == "Veltrane" else "-"
        return self.idles[(prog, setting)]

    def mem(self, prog, key, setting=None):
        # A reading "ended" counts only where the sound thread did end.
        ended = key.startswith("ended_")
        return median([float(d[key]) for d in self.rows(prog, setting)
                       if key in d and (not ended or d.get("sound_thread_ended") == "1")])

    def per_call(self, lines, key):
        rows = [fields(l) for l in lines if key in l]
        return float(rows[0][key]) if rows else float("nan")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--idle", type=float, required=True)
    ap.add_argument("--memory-at", required=True)
    ap.add_argument("--hz", type=float, required=True)
    ap.add_argument("fake")
    ap.add_argument("raw", nargs="+")
    args = ap.parse_args()
    idle, hz = args.idle, args.hz
    dpis = sorted((Dpi(p) for p in args.raw), key=lambda d: int(d.logpixels) if d.logpixels.isdigit() else 0)
    with open(args.fake) as f:
        update = [l.strip().partition(" ")[2] for l in f]

    out = []
    p = out.append
    p("# Veltrane: measured costs against the same window built by hand and a bare program")
    p("")
    p(f"Run of {datetime.date.today().isoformat()} on {machine()}.")
    p("")
    p("- `bench/same_window` creates exactly Veltrane's main window by hand, with no layer in between: the")
    p("  same class and styles, the 23 controls with their rectangles, fonts, colours and pictures at the")
    p("  window's DPI, the same region, the tray icon, the start-up sound and the first figures; then it")
    p("  runs its message loop. The difference to it is what the program's structure costs. With `/check` it")
    p("  also runs the Update every second and the tray icon's hover refresh, as Veltrane checking every")
    p("  second does; with `/time` it times its Update and hover refresh in the loop leak_bench times")
    p("  Veltrane's in.")
    p("- `bench/baseline` is the least a program of this kind does: a popup with one button, one tray icon")
    p("  and one short embedded sound played asynchronously.")
    p("- All three are built alike (mingw-w64, static, stripped) and measured side by side under wine64 on a")
    p("  private Xvfb display, each DPI in a Wine session of its own (LogPixels set in the prefix), the")
    p("  programs alternating. A hidden-window program keeps Wine's desktop process (which draws the")
    p("  notification area) up, as the shell always is on Windows. Sound is on. Figures are medians.")
    p("")

    head = "| | " + " | ".join(d.title for d in dpis) + " |"
    rule = "|---|" + "---:|" * len(dpis)

    n = min(len(d.starts["Veltrane"]) for d in dpis)
    p(f"## 1. Start-up ({n} runs of each program at each DPI)")
    p("")
    p("Until the main window is shown and the shell holds the icon, polled from a second process.")
    p("*In-process* counts from the process's creation time; *whole* from the CreateProcess call, which")
    p("under Wine includes starting the Unix process of the Wine loader.")
    p("")
    p(head)
    p(rule)
    for key, label in (("inprocess_ms", "in-process, ms"), ("whole_ms", "whole process, ms"),
                       ("cpu_ms", "CPU until ready, ms")):
        for prog in PROGRAMS:
            p(f"| {label}: {prog} | " + " | ".join(f"{d.start(prog, key):.1f}" for d in dpis) + " |")
    p("| in-process: Veltrane / same_window (target <= 1.05) | " + " | ".join(
        f"{d.start('Veltrane', 'inprocess_ms') / d.start('same_window', 'inprocess_ms'):.2f}: "
        f"{verdict(d.start('Veltrane', 'inprocess_ms') / d.start('same_window', 'inprocess_ms'), 1.05)}"
        for d in dpis) + " |")
    p("| in-process: Veltrane / baseline | " + " | ".join(
        f"{d.start('Veltrane', 'inprocess_ms') / d.start('baseline', 'inprocess_ms'):.2f}" for d in dpis) + " |")
    p("| in-process: same_window / baseline | " + " | ".join(
        f"{d.start('same_window', 'inprocess_ms') / d.start('baseline', 'inprocess_ms'):.2f}" for d in dpis) + " |")
    for d in dpis:
        shape = [float(fields(l)["shapewindow_ms"]) for l in d.leak if "shapewindow_ms" in l]
        if shape:
            p("")
            p(f"At {d.title} `ShapeWindow` (the outline of the face cut into a region) takes {shape[0]:.1f} ms.")
    p("")

    n = min(len(d.rows("Veltrane")) for d in dpis)
    p(f"## 2. Memory after {args.memory_at} s ({n} runs of each)")
    p("")
    p("Private bytes are read as PagefileUsage (Wine leaves PrivateUsage at 0; it reports the resident")
    p("anonymous memory of the Unix process there, the same commit figure as on Windows). Veltrane checks")
    p("every second; the target compares it with no warning armed, since arming one opens the options")
    p("window, whose fonts and classes Wine keeps cached after it closes (the row after it shows that")
    p("state).")
    p("")
    p("Wine's sound driver (winmm) plays through a thread of its own that ends only when it wakes with no")
    p("sound open: after the start-up's sound it lives on for the whole run or not, by a race, in any of")
    p("the programs, and holds about a megabyte while it does. Each program is therefore read twice: as")
    p(f"found at {args.memory_at} s, with its threads counted; and at the end of the idle measurement once")
    p("that thread has ended (the probe wakes it with a message to its window), every program in the")
    p("same state. The target compares the second reading.")
    p("")
    p(head)
    p(rule)
    plain = PERIODS[0][0]  # every second, no warning
    shown = (("Veltrane", plain, "Veltrane"), ("Veltrane", TARGET, "Veltrane, warning armed"),
             ("same_window", "-", "same_window"), ("same_window", CHECKING, "same_window checking every 1 s"),
             ("baseline", "-", "baseline"))

    def kb(value):
        return f"{value:.0f}" if value == value else "-"

    def ratio(d, key, other, limit=None, digits=2):
        return ratio_cell(d.mem("Veltrane", key, plain), d.mem(other, key), limit, digits)

    for prog, setting, label in shown:
        p(f"| private KB, sound thread ended: {label} | " + " | ".join(
            kb(d.mem(prog, "ended_private_kb", setting)) for d in dpis) + " |")
    p("| private, sound thread ended: Veltrane / same_window (target <= 1.02) | " + " | ".join(
        ratio(d, "ended_private_kb", "same_window", 1.02, 3) for d in dpis) + " |")
    p("| private, sound thread ended: Veltrane / baseline | " + " | ".join(
        ratio(d, "ended_private_kb", "baseline") for d in dpis) + " |")
    for prog, setting, label in shown:
        p(f"| private KB as found: {label} | " + " | ".join(
            kb(d.mem(prog, "private_kb", setting)) for d in dpis) + " |")
    p("| private as found: Veltrane / same_window | " + " | ".join(
        ratio(d, "private_kb", "same_window", digits=3) for d in dpis) + " |")
    for prog, setting, label in shown:
        p(f"| threads as found: {label} | " + " | ".join(
            "/".join(sorted({r.get('threads', '?') for r in d.rows(prog, setting)})) or "-" for d in dpis) + " |")
    for prog, setting, label in shown:
        p(f"| working set KB as found: {label} | " + " | ".join(
            kb(d.mem(prog, "workingset_kb", setting)) for d in dpis) + " |")
    p("")
    p("Veltrane holds its face as loaded (8 bits a pixel at 150 %, 24 at 100 %), as the hand-written")
    p("window does: a transparent label or image copies its own part of the face into the DC it paints")
    p("with, so there is neither a 32-bit copy of the whole face nor a pattern brush of it. Its label")
    p("fitting asks about the digits' widths only in the fonts a caption was measured in, so Wine makes")
    p("no font for a size no caption needed. What differs beyond that lies in Wine's own heaps")
    p("(bench/memory_map.py shows them side by side).")
    p("")

    def pct(d, prog, key, setting=None):
        return median([float(r[key]) for r in d.rows(prog, setting)]) / hz / idle * 100

    p(f"## 3. Idle CPU over {idle:.0f} s ({n} runs of each, and as many of nothing)")
    p("")
    p("CPU time is user + system from Linux's accounting of each process (resolution "
      f"{1000 / hz:.0f} ms); wineserver and the desktop process are counted above their background,")
    p("measured with no program running. Veltrane checks every second (the Update with its red flash) and")
    p("has a low-memory warning armed (checked every 5 s); the other two idle.")
    p("")
    p("| % of one core | " + " | ".join(d.title for d in dpis) + " |")
    p(rule)
    whole = {}
    for prog in PROGRAMS:
        for d in dpis:
            bg_s, bg_d = pct(d, "none", "server"), pct(d, "none", "desktop")
            own = pct(d, prog, "self")
            whole[(d.logpixels, prog)] = (own, pct(d, prog, "server") - bg_s, pct(d, prog, "desktop") - bg_d)
    for prog in PROGRAMS:
        target = " (target <= 0.15)" if prog == "Veltrane" else ""
        p(f"| own process: {prog}{target} | " + " | ".join(
            f"{whole[(d.logpixels, prog)][0]:.3f}" + (f": {verdict(whole[(d.logpixels, prog)][0], 0.15)}"
                                                        if prog == "Veltrane" else "") for d in dpis) + " |")
    for prog in PROGRAMS:
        p(f"| wineserver above background: {prog} | " + " | ".join(
            f"{whole[(d.logpixels, prog)][1]:.3f}" for d in dpis) + " |")
    for prog in PROGRAMS:
        p(f"| desktop process above background: {prog} | " + " | ".join(
            f"{whole[(d.logpixels, prog)][2]:.3f}" for d in dpis) + " |")
    for prog in PROGRAMS:
        target = " (target <= 0.30)" if prog == "Veltrane" else ""
        p(f"| whole system: {prog}{target} | " + " | ".join(
            f"{sum(whole[(d.logpixels, prog)]):.3f}" + (f": {verdict(sum(whole[(d.logpixels, prog)]), 0.30)}"
                                                       if prog == "Veltrane" else "") for d in dpis) + " |")
    p("| wineserver background, nothing running | " + " | ".join(
        f"{pct(d, 'none', 'server'):.3f}" for d in dpis) + " |")
    p("")
    p("What one check costs: Veltrane's own process with no warning armed, at each check period, beside")
    p("the two idle programs.")
    p("")
    p("| own process, % of one core | " + " | ".join(d.title for d in dpis) + " |")
    p(rule)
    for setting, label in PERIODS:
        p(f"| Veltrane, {label} | " + " | ".join(
            f"{pct(d, 'Veltrane', 'self', setting):.3f}" if d.rows("Veltrane", setting) else "-" for d in dpis) + " |")
    for prog in ("same_window", "baseline"):
        p(f"| {prog} | " + " | ".join(f"{whole[(d.logpixels, prog)][0]:.3f}" for d in dpis) + " |")
    p("")
    p("The check every second against the same by hand: Veltrane with no warning armed and")
    p("`same_window /check`, each running the Update with its red flash every second. The hand-written")
    p("window's figures are few ticks of Linux's accounting: the ratio settles only over a long run. It")
    p("paints as it always has: a label's new text at once and again for the flash, its face through a")
    p("brush in the picture's own format (which Wine converts at every paint), its tooltips through the")
    p("common controls' subclass (a window property looked up at every message); Veltrane does none of")
    p("the three, and its check costs less than the hand-written one for it.")
    p("")
    p("| every 1 s, % of one core | " + " | ".join(d.title for d in dpis) + " |")
    p(rule)

    def checking(d, key):
        """Veltrane's and the hand-written window's figure, each every second."""
        bg = pct(d, "none", key) if key != "self" else 0.0
        return (pct(d, "Veltrane", key, plain) - bg, pct(d, "same_window", key, CHECKING) - bg)

    def cell(value):
        return f"{value:.3f}" if value == value else "-"

    for key, label in (("self", "own process"), ("server", "wineserver above background"),
                       ("desktop", "desktop process above background")):
        for i, prog in enumerate(("Veltrane", "same_window /check")):
            p(f"| {label}: {prog} | " + " | ".join(cell(checking(d, key)[i]) for d in dpis) + " |")
    p("| own process: Veltrane / same_window /check (target <= 1.10) | " + " | ".join(
        ratio_cell(*checking(d, "self"), 1.10) for d in dpis) + " |")

    def system(d, i):
        return sum(checking(d, key)[i] for key in ("self", "server", "desktop"))

    p("| whole system: Veltrane / same_window /check | " + " | ".join(
        ratio_cell(system(d, 0), system(d, 1)) for d in dpis) + " |")
    p("")

    p("## 4. The Update and a hover refresh")
    p("")
    p("In-process under Wine on the real backend, per call: Veltrane's in the leak run below, and the same")
    p("work by hand in `same_window /time`, in the same loop right after it (the theme changing every 50")
    p("Updates, pending messages handled every 100 calls, where the paints the calls asked for are")
    p("done). Wine answers the memory status from a copy it keeps for a second, so the figures seldom")
    p("change in the loop: what is timed is an Update of the same figures and its share of the paints.")
    p("And on the fake platform (Google Benchmark, native, optimised, 7 repetitions).")
    p("")

    def us(value):
        return f"{value:.1f}" if value == value else "-"

    p("| us per call under Wine | " + " | ".join(d.title for d in dpis) + " |")
    p(rule)
    # The median of batches of a hundred calls is the figure compared: another
    # process holding a core for a while moves it far less than the mean.
    for key, label in (("us_per_update", "the Update"), ("us_per_hover", "a hover refresh")):
        batch = "median_batch_" + key
        for prog, lines in (("Veltrane", "leak"), ("by hand", "hand")):
            p(f"| {label}: {prog}, mean | " + " | ".join(
                us(d.per_call(getattr(d, lines), key)) for d in dpis) + " |")
            p(f"| {label}: {prog}, median batch | " + " | ".join(
                us(d.per_call(getattr(d, lines), batch)) for d in dpis) + " |")
        p(f"| {label}: Veltrane / by hand, median batch (target <= 1.10) | " + " | ".join(
            ratio_cell(d.per_call(d.leak, batch), d.per_call(d.hand, batch), 1.10, 3) for d in dpis) + " |")
    sample = [d.per_call(d.leak, "us_per_sample") for d in dpis]
    p("| the last hour's sample (its own timer, every 10 s): Veltrane | " + " | ".join(us(v) for v in sample) + " |")
    p("| the sample's share of one core, % (target <= 0.01) | " + " | ".join(
        f"{v / 1e7 * 100:.5f}: {verdict(v / 1e7 * 100, 0.01)}" if v == v else "-" for v in sample) + " |")
    ring = [d.per_call(d.leak, "history_bytes") for d in dpis]
    p("| the last hour's ring, KB (target <= 64) | " + " | ".join(
        f"{v / 1024:.1f}: {verdict(v / 1024, 64)}" if v == v else "-" for v in ring) + " |")
    p("")
    p("| on the fake platform | ns per Update (median) |")
    p("|---|---:|")
    header = None
    for line in update:
        cols = line.split(",")
        if cols[0] == "name":
            header = cols
            continue
        if header and cols[0].strip('"').endswith("_median"):
            row = dict(zip(header, cols))
            p(f"| {row['name'].strip(chr(34)).removesuffix('_median')} | {float(row['real_time']):.0f} |")
    p("")

    counts = [fields(l) for d in dpis for l in d.leak if "us_per_update" in l]
    updates = int(counts[0]["updates"]) if counts else 100000
    hovers = int(counts[0]["hovers"]) if counts else 10000
    p(f"## 5. Leaks: {updates:,} Updates (theme changed every 50) and {hovers:,} hover refreshes, real backend")
    p("")
    p("Live handles as the program's own owners count them (GetGuiResources answers 0 under Wine).")
    p("")
    p("| DPI | after | icons | regions | brushes | bitmaps | DCs | pens | fonts | menus | private KB |")
    p("|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for d in dpis:
        handle_rows(p, d.leak, f"| {d.logpixels} ")
    p("")

    for d in dpis:
        if not d.top:
            continue
        p(f"## 6. The three largest processes, taken when the warning fires ({d.title}, real backend)")
        p("")
        p("The process table from one system snapshot (NtQuerySystemInformation, no process opened), the")
        p("three largest kept while reading and the balloon's text, in one call; median and 90th percentile of")
        p("60 calls, with the processes of the Wine session and then with idle ones started beside them.")
        p("")
        p("| processes | per call, ms (median) | 90th percentile, ms |")
        p("|---:|---:|---:|")
        for line in d.top:
            f = fields(line)
            if "per_call_us" in f:
                p(f"| {f['processes']} | {float(f['per_call_us']) / 1000:.1f} | {float(f['p90_us']) / 1000:.1f} |")
        for line in d.top:
            if line.startswith("leak"):
                f = fields(line)
                p("")
                p(f"Live process handles before and after 1,000 calls: {f['kernel_before']} and "
                  f"{f['kernel_after']}; private KB {f['private_kb_before']} and {f['private_kb_after']}.")
        p("")

    for d in dpis:
        if not d.soak:
            continue
        p(f"## 7. Soak: Veltrane checking every second with a warning armed ({d.title}, in-process)")
        p("")
        p("| after | icons | regions | brushes | bitmaps | DCs | pens | fonts | menus | private KB |")
        p("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
        handle_rows(p, d.soak)
        p("")
    print("\n".join(out).rstrip() + "\n", end="")


if __name__ == "__main__":
    main()
