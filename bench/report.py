#!/usr/bin/env python3
"""Turns bench/run.sh's raw figures into the results table (Markdown).

    report.py <raw file> <idle seconds> <memory at seconds> <clock ticks per second>
"""
import datetime
import platform
import re
import statistics
import subprocess
import sys


def fields(line):
    return {k: v for k, v in re.findall(r"(\w+)=(\S+)", line)}


def median(values):
    return statistics.median(values) if values else float("nan")


def verdict(value, limit):
    return "met" if value <= limit else "**not met**"


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
    import os
    return f"{cpu}, {os.cpu_count()} cores, {platform.system()} {platform.release()}, {wine}"


def main():
    raw, idle, memory_at, hz = sys.argv[1], float(sys.argv[2]), sys.argv[3], float(sys.argv[4])
    starts = {"Veltrane": [], "baseline": []}
    idles = {"Veltrane": [], "baseline": [], "none": []}
    leak, update, top = [], [], []
    with open(raw) as f:
        for line in f:
            kind, _, rest = line.strip().partition(" ")
            if kind == "startup":
                d = fields(rest)
                starts[d["prog"]].append(d)
            elif kind == "idle":
                d = fields(rest)
                idles[d["prog"]].append(d)
            elif kind == "leak":
                leak.append(rest)
            elif kind == "update":
                update.append(rest)
            elif kind == "topusers":
                top.append(rest)

    out = []
    p = out.append
    p("# Veltrane: measured costs against the baseline program")
    p("")
    p(f"Run of {datetime.date.today().isoformat()} on {machine()}.")
    p("")
    p("The baseline (`bench/baseline`) is the least a program of this kind does: a 453 x 111 popup with one")
    p("button, one tray icon and one short embedded sound played asynchronously, then its message loop.")
    p("Both programs are built alike (mingw-w64, static, stripped, page-aligned image) and measured side by")
    p("side under wine64 on a private Xvfb display, alternating; the figures below are medians. A")
    p("hidden-window program keeps Wine's desktop process (which draws the notification area) up for the")
    p("whole run, as the shell always is on Windows. Sound is on for both.")
    p("")

    def med(prog, key, table):
        return median([float(d[key]) for d in table[prog] if key in d])

    p(f"## 1. Start-up ({len(starts['Veltrane'])} runs each)")
    p("")
    p("Until the main window is shown and the shell holds the icon, polled from a second process.")
    p("*In-process* counts from the process's creation time; *whole* from the CreateProcess call, which")
    p("under Wine includes starting the Unix process of the Wine loader.")
    p("")
    p("| | Veltrane | baseline | ratio | target |")
    p("|---|---:|---:|---:|---|")
    for key, label in (("inprocess_ms", "in-process, ms"), ("whole_ms", "whole process, ms"),
                       ("cpu_ms", "CPU until ready, ms")):
        v, b = med("Veltrane", key, starts), med("baseline", key, starts)
        target = f"<= 1.15: {verdict(v / b, 1.15)}" if key != "cpu_ms" else ""
        p(f"| {label} | {v:.1f} | {b:.1f} | {v / b:.2f} | {target} |")
    shape = [float(fields(l)["shapewindow_ms"]) for l in leak if "shapewindow_ms" in l]
    if shape:
        share = shape[0] / med("Veltrane", "inprocess_ms", starts) * 100
        p("")
        p(f"`ShapeWindow` (the outline of the face cut into a region) takes {shape[0]:.1f} ms, "
          f"{share:.0f} % of Veltrane's in-process start-up.")
    p("")

    p(f"## 2. Memory after {memory_at} s ({len(idles['Veltrane'])} runs each)")
    p("")
    p("Private bytes are read as PagefileUsage (Wine leaves PrivateUsage at 0; it reports the resident")
    p("anonymous memory of the Unix process there, the same commit figure as on Windows).")
    p("")
    p("| | Veltrane | baseline | ratio | target |")
    p("|---|---:|---:|---:|---|")
    v, b = med("Veltrane", "private_kb", idles), med("baseline", "private_kb", idles)
    p(f"| private, KB | {v:.0f} | {b:.0f} | {v / b:.2f} | <= 1.15: {verdict(v / b, 1.15)} |")
    v, b = med("Veltrane", "workingset_kb", idles), med("baseline", "workingset_kb", idles)
    p(f"| working set, KB | {v:.0f} | {b:.0f} | {v / b:.2f} | |")
    p("")
    p("Where the difference lies is shown by `bench/memory_map.py` (the resident anonymous pages of the")
    p("process, by the Windows region they fall in): under Wine the fonts and GDI objects live in the")
    p("Unix side of the process, so the three typefaces of the window and its region of a few hundred")
    p("rectangles show up there; then the window surfaces and the face picture with its pattern brush.")
    p("")

    def pct(prog, key):
        return med(prog, key, idles) / hz / idle * 100

    p(f"## 3. Idle CPU over {idle:.0f} s ({len(idles['Veltrane'])} runs each, and as many of nothing)")
    p("")
    p("Veltrane checks every second (the Update with its red flash, each second) and has a low-memory")
    p("warning armed (checked every 5 s). The baseline idles. CPU time is user + system from Linux's")
    p(f"accounting of each process (resolution {1000 / hz:.0f} ms); wineserver and the desktop process are")
    p("counted above their background, measured with no program running.")
    p("")
    p("| % of one core | Veltrane | baseline | nothing running | target |")
    p("|---|---:|---:|---:|---|")
    bg_server, bg_desktop = pct("none", "server"), pct("none", "desktop")
    rows = {}
    for prog in ("Veltrane", "baseline"):
        own = pct(prog, "self")
        server = pct(prog, "server") - bg_server
        desktop = pct(prog, "desktop") - bg_desktop
        rows[prog] = (own, server, desktop, own + server + desktop)
    v, b = rows["Veltrane"], rows["baseline"]
    p(f"| the program's own process | {v[0]:.3f} | {b[0]:.3f} | | <= 0.25: {verdict(v[0], 0.25)} |")
    p(f"| wineserver, above background | {v[1]:.3f} | {b[1]:.3f} | {bg_server:.3f} | |")
    p(f"| desktop process, above background | {v[2]:.3f} | {b[2]:.3f} | {bg_desktop:.3f} | |")
    p(f"| whole system | {v[3]:.3f} | {b[3]:.3f} | | <= 0.6: {verdict(v[3], 0.6)} |")
    p("")

    p("## 4. The Update on the fake platform (Google Benchmark, native, optimised, 7 repetitions)")
    p("")
    p("| case | ns per Update (median) |")
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

    p("## 5. Leaks: 100,000 Updates (theme changed every 50) and 10,000 hover refreshes, real backend")
    p("")
    p("Live handles as the program's own owners count them (GetGuiResources answers 0 under Wine).")
    p("")
    p("| after | icons | regions | brushes | bitmaps | DCs | pens | fonts | menus | private KB |")
    p("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
    for line in leak:
        if "icons=" in line:
            d = fields(line)
            p(f"| {line.split()[0]} | {d['icons']} | {d['regions']} | {d['brushes']} | {d['bitmaps']} | "
              f"{d['dcs']} | {d['pens']} | {d['fonts']} | {d['menus']} | {d['private_kb']} |")
    for line in leak:
        if "us_per_update" in line:
            d = fields(line)
            p("")
            p(f"Under Wine an Update took {float(d['us_per_update']):.0f} us and a hover refresh "
              f"{float(d['us_per_hover']):.0f} us.")
    if top:
        p("")
        p("## 6. The three largest processes, taken when the warning fires (real backend)")
        p("")
        p("The process table (EnumProcesses, then each process opened, its memory and image name read and")
        p("closed), the three largest and the balloon's text, in one call; median and 90th percentile of")
        p("60 calls, with the processes of the Wine session and then with idle ones started beside them.")
        p("")
        p("| processes | per call, ms (median) | 90th percentile, ms | target |")
        p("|---:|---:|---:|---|")
        for line in top:
            d = fields(line)
            if "per_call_us" in d:
                ms = float(d["per_call_us"]) / 1000
                target = f"< 20 for 300: {verdict(ms, 20)}" if int(d["processes"]) >= 300 else ""
                p(f"| {d['processes']} | {ms:.1f} | {float(d['p90_us']) / 1000:.1f} | {target} |")
        for line in top:
            if line.startswith("leak"):
                d = fields(line)
                p("")
                p(f"Live process handles before and after 1,000 calls: {d['kernel_before']} and {d['kernel_after']}; "
                  f"private KB {d['private_kb_before']} and {d['private_kb_after']}.")
            elif line.startswith("stopped"):
                p("")
                p(f"Started processes {line}.")
    print("\n".join(out))


if __name__ == "__main__":
    main()
