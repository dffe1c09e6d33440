#!/usr/bin/env bash
# Veltrane's costs against bench/baseline, under wine64 on a private display:
# start-up, memory after 60 s, idle CPU over 120 s (Veltrane checking every
# second with a warning armed), the Update on the fake platform, and the leak
# run. The programs are measured side by side, alternating, and the table
# shows medians. Prints the table and writes bench/RESULTS.md.
#
#   bench/run.sh                 the full run (about 45 minutes)
#   VT_BENCH_RUNS=1 VT_BENCH_STARTS=2 VT_BENCH_IDLE=20 VT_BENCH_MEMORY_AT=15 \
#   VT_BENCH_UPDATES=2000 VT_BENCH_HOVERS=200 bench/run.sh     a quick look
#   VT_LOGPIXELS=144 bench/run.sh   the same at 150 % display scaling
#   VT_BENCH_TOP_USERS=1 bench/run.sh   also the three largest processes, with
#                        50, 150 and 300 idle processes started (about 1.5 GB)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

runs=${VT_BENCH_RUNS:-7}        # idle and memory runs of each program
starts=${VT_BENCH_STARTS:-15}   # start-ups of each program
idle=${VT_BENCH_IDLE:-120}      # seconds of idle measured
memory_at=${VT_BENCH_MEMORY_AT:-60}
settle=5

jobs=$(nproc)
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j "$jobs" --target update_bench
cmake -S . -B build/x64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build build/x64 -j "$jobs" --target Veltrane baseline keepalive probe leak_bench top_users_bench

raw=$(mktemp)
source tools/wine_session.sh   # its EXIT trap ends the session; ours also removes the raw figures
trap 'vt_session_end; rm -f "$raw"' EXIT
vt_start_display
vt_start_wine
if [ -n "${VT_LOGPIXELS:-}" ]; then vt_set_logpixels "$VT_LOGPIXELS"; fi
wine=/usr/lib/wine/wine64
bin=build/x64
winbin="Z:$(realpath "$bin" | tr / '\\')"

# Wine's own processes of this session, and CPU seconds (user + system) of one.
session_pid() {  # <pattern in the command line>
    local p
    for p in $(pgrep -f "$1"); do
        grep -qz "^WINEPREFIX=$WINEPREFIX\$" "/proc/$p/environ" 2>/dev/null && { echo "$p"; return; }
    done
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
sleep_until() { sleep "$(awk -v t="$1" -v now="$(date +%s.%N)" 'BEGIN { d = t - now; printf "%.3f", (d > 0 ? d : 0) }')"; }
probe() { "$wine" "$bin/probe.exe" "$@" </dev/null 2>/dev/null; }

"$wine" "$bin/keepalive.exe" </dev/null >/dev/null 2>&1 &
sleep 3
server=$(session_pid wineserver)
desktop=$(session_pid 'explorer.exe /desktop')
[ -n "$server" ] && [ -n "$desktop" ] || { echo "no wineserver or desktop process" >&2; exit 1; }
"$wine" reg add 'HKCU\Software\Veltrane\Startup' /v sound /d 1 /f </dev/null >/dev/null 2>&1

class_of() { [ "$1" = Veltrane ] && echo Veltrane.Form1 || echo VeltraneBaseline; }

# start <program>: prints the probe's start-up line; the program keeps running.
start() {
    local out
    out=$(mktemp)
    probe start "$winbin\\$1.exe" "$(class_of "$1")" >"$out" || { cat "$out" >&2; rm -f "$out"; return 1; }
    cat "$out"
    rm -f "$out"
}
pid_of() { sed -n 's/.*pid=\([0-9]*\).*/\1/p' <<<"$1"; }
stop() { probe close "$2" "$(class_of "$1")" >/dev/null || true; sleep 1; }

echo "== warm-up"
for p in Veltrane baseline; do line=$(start $p); stop $p "$(pid_of "$line")"; done

echo "== start-up: $starts runs of each, alternating"
for i in $(seq 1 "$starts"); do
    order="Veltrane baseline"; ((i % 2)) || order="baseline Veltrane"
    for p in $order; do
        line=$(start $p)
        echo "startup prog=$p $line" | tee -a "$raw"
        stop $p "$(pid_of "$line")"
    done
done

echo "== memory at ${memory_at} s and idle CPU over ${idle} s: $runs runs of each and of nothing"
for i in $(seq 1 "$runs"); do
    case $((i % 3)) in
        1) order="Veltrane baseline none" ;;
        2) order="baseline none Veltrane" ;;
        0) order="none Veltrane baseline" ;;
    esac
    for p in $order; do
        if [ $p = none ]; then
            s0=$(cpu_ticks "$server"); d0=$(cpu_ticks "$desktop")
            sleep "$idle"
            echo "idle prog=none self=0 server=$(($(cpu_ticks "$server") - s0)) desktop=$(($(cpu_ticks "$desktop") - d0))" |
                tee -a "$raw"
            continue
        fi
        t0=$(date +%s.%N)
        line=$(start $p)
        pid=$(pid_of "$line")
        [ $p = Veltrane ] && { probe arm "$pid" >/dev/null || echo "arming failed" >&2; }
        self=$(session_pid "$p.exe")
        sleep "$settle"
        a0=$(cpu_ticks "$self"); s0=$(cpu_ticks "$server"); d0=$(cpu_ticks "$desktop")
        sleep_until "$(awk -v a="$t0" -v b="$memory_at" 'BEGIN { printf "%.3f", a + b }')"
        mem=$(probe memory "$pid")
        sleep_until "$(awk -v a="$t0" -v b="$((settle + idle))" 'BEGIN { printf "%.3f", a + b }')"
        echo "idle prog=$p self=$(($(cpu_ticks "$self") - a0)) server=$(($(cpu_ticks "$server") - s0))" \
            "desktop=$(($(cpu_ticks "$desktop") - d0)) $mem" | tee -a "$raw"
        stop $p "$pid"
    done
done

echo "== leaks and ShapeWindow, in-process under Wine"
"$wine" "$bin/leak_bench.exe" "${VT_BENCH_UPDATES:-100000}" "${VT_BENCH_HOVERS:-10000}" </dev/null 2>/dev/null | tr -d '\r' | tee /dev/stderr | sed 's/^/leak /' >>"$raw"

if [ "${VT_BENCH_TOP_USERS:-0}" = 1 ]; then
    echo "== the three largest processes, in-process under Wine"
    "$wine" "$bin/top_users_bench.exe" 50 150 300 </dev/null 2>/dev/null | tr -d '\r' | tee /dev/stderr |
        sed 's/^extra=[0-9]* //; s/^/topusers /' >>"$raw"
fi

echo "== the Update on the fake platform"
build/bench/update_bench --benchmark_repetitions=7 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null | sed 's/^/update /' >>"$raw"

python3 bench/report.py "$raw" "$idle" "$memory_at" "$(getconf CLK_TCK)" | tee bench/RESULTS.md
