#!/usr/bin/env bash
# Veltrane's costs against the same main window written by hand
# (bench/same_window) and against the least a program of its kind does
# (bench/baseline), under wine64 on a private display, at 96 and at 144 DPI:
# start-up, memory after 60 s (and again once the sound driver's thread has
# ended), idle CPU over 120 s (Veltrane checking every second with a warning
# armed; then every 10 s, every minute and never; the hand-written window
# checking every second as well), the Update and a hover refresh in-process
# under Wine against the same by hand, the leak run and the Update on the
# fake platform. The programs are measured side by side, alternating, and
# the tables show medians. Prints the tables and writes bench/RESULTS.md.
#
#   bench/run.sh                 the full run (about 55 minutes a DPI)
#   VT_BENCH_DPIS=96 bench/run.sh    one DPI only (the other's last figures stay)
#   VT_BENCH_PARALLEL=1 bench/run.sh the second DPI's session starts once the first
#                        is past its start-ups: the start-ups never overlap
#   VT_BENCH_RUNS=1 VT_BENCH_STARTS=3 VT_BENCH_IDLE=20 VT_BENCH_MEMORY_AT=15 \
#   VT_BENCH_UPDATES=2000 VT_BENCH_HOVERS=200 bench/run.sh     a quick look
#   VT_BENCH_TOP_USERS=1 bench/run.sh   also the three largest processes, with
#                        50, 150 and 300 idle processes started (about 1.5 GB)
#   VT_BENCH_SOAK=3600 bench/run.sh     also an hour of Veltrane checking every
#                        second: memory and live handles at start, 10 and 60 min
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

runs=${VT_BENCH_RUNS:-3}        # idle and memory runs of each program and setting
starts=${VT_BENCH_STARTS:-21}   # start-ups of each program
idle=${VT_BENCH_IDLE:-120}      # seconds of idle measured
memory_at=${VT_BENCH_MEMORY_AT:-60}
dpis=${VT_BENCH_DPIS:-96 144}
settle=5
out=build/bench/raw   # the raw figures of each DPI, kept for report.py
mkdir -p "$out"

jobs=$(nproc)
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j "$jobs" --target update_bench
cmake -S . -B build/x64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build build/x64 -j "$jobs" --target Veltrane same_window baseline keepalive probe leak_bench top_users_bench

# One DPI in a Wine session of its own; the raw figures go to $2.
measure() {
    local logpixels=$1 raw=$2
    : >"$raw"
    source tools/wine_session.sh   # its EXIT trap ends the session when this subshell ends
    vt_start_display
    vt_start_wine
    vt_set_logpixels "$logpixels"
    local wine=/usr/lib/wine/wine64 bin=build/x64
    local winbin="Z:$(realpath "$bin" | tr / '\\')"
    echo "dpi logpixels=$logpixels" >>"$raw"

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
    log() { echo "$*" >>"$raw"; echo "[$logpixels] $*"; }

    "$wine" "$bin/keepalive.exe" </dev/null >/dev/null 2>&1 &
    sleep 3
    local server desktop
    server=$(session_pid wineserver)
    desktop=$(session_pid 'explorer.exe /desktop')
    [ -n "$server" ] && [ -n "$desktop" ] || { echo "no wineserver or desktop process" >&2; exit 1; }
    "$wine" reg add 'HKCU\Software\Veltrane\Startup' /v sound /d 1 /f </dev/null >/dev/null 2>&1

    class_of() {
        case $1 in
            Veltrane) echo Veltrane.Form1 ;;
            same_window) echo VeltraneSameWindow ;;
            *) echo VeltraneBaseline ;;
        esac
    }
    # start <program> [<switch>...]: prints the probe's start-up line; the
    # program keeps running. Through a file: the started program inherits a
    # pipe's end.
    start() {
        local line
        line=$(mktemp)
        probe start "$winbin\\$1.exe" "$(class_of "$1")" "${@:2}" >"$line" || { cat "$line" >&2; rm -f "$line"; return 1; }
        cat "$line"
        rm -f "$line"
    }
    pid_of() { sed -n 's/.*pid=\([0-9]*\).*/\1/p' <<<"$1"; }
    stop() { probe close "$2" "$(class_of "$1")" >/dev/null || true; sleep 1; }

    echo "[$logpixels] == warm-up"
    local p i line pid order
    for p in Veltrane same_window baseline; do line=$(start $p); stop $p "$(pid_of "$line")"; done

    echo "[$logpixels] == start-up: $starts runs of each, alternating"
    for i in $(seq 1 "$starts"); do
        case $((i % 3)) in
            1) order="Veltrane same_window baseline" ;;
            2) order="same_window baseline Veltrane" ;;
            0) order="baseline Veltrane same_window" ;;
        esac
        for p in $order; do
            line=$(start $p)
            log "startup prog=$p $line"
            stop $p "$(pid_of "$line")"
        done
    done
    touch "$raw.started"

    # Veltrane's settings: the check period (n unit) and whether a warning is
    # armed. "1 sec warn" is the one the targets are for; the others show
    # what one check costs, and that no check costs nothing. The hand-written
    # window with /check does the work of "1 sec nowarn" by hand.
    local settings=("1 sec warn" "1 sec nowarn" "10 sec nowarn" "1 min nowarn" "1 Off nowarn")
    echo "[$logpixels] == memory at ${memory_at} s and idle CPU over ${idle} s: $runs runs of each"
    local s0 d0 a0 t0 self mem ended ticks setting k
    local cases=("Veltrane:${settings[0]}" same_window baseline none "Veltrane:${settings[1]}" "same_window:/check"
                 "Veltrane:${settings[2]}" "Veltrane:${settings[3]}" "Veltrane:${settings[4]}")
    for i in $(seq 1 "$runs"); do
        # Each run starts one further along the list, so no case always follows the same one.
        for k in $(seq 0 $((${#cases[@]} - 1))); do
            local c=${cases[$(((k + i - 1) % ${#cases[@]}))]}
            p=${c%%:*}
            setting=${c#*:}
            [ "$setting" = "$c" ] && setting="-"
            if [ "$p" = none ]; then
                s0=$(cpu_ticks "$server"); d0=$(cpu_ticks "$desktop")
                sleep "$((settle + idle))"
                log "idle prog=none check=- self=0 server=$(($(cpu_ticks "$server") - s0))" \
                    "desktop=$(($(cpu_ticks "$desktop") - d0))"
                continue
            fi
            t0=$(date +%s.%N)
            if [ "$p" = Veltrane ] || [ "$setting" = - ]; then line=$(start "$p"); else line=$(start "$p" $setting); fi
            pid=$(pid_of "$line")
            if [ "$p" = Veltrane ]; then
                set -- $setting
                probe arm "$pid" "$1" "$2" "$3" >/dev/null || echo "arming failed" >&2
            fi
            self=$(session_pid "$p.exe")
            sleep "$settle"
            a0=$(cpu_ticks "$self"); s0=$(cpu_ticks "$server"); d0=$(cpu_ticks "$desktop")
            sleep_until "$(awk -v a="$t0" -v b="$memory_at" 'BEGIN { printf "%.3f", a + b }')"
            mem=$(probe memory "$pid" | tr -d '\r')
            sleep_until "$(awk -v a="$t0" -v b="$((settle + idle))" 'BEGIN { printf "%.3f", a + b }')"
            ticks="self=$(($(cpu_ticks "$self") - a0)) server=$(($(cpu_ticks "$server") - s0))"
            ticks+=" desktop=$(($(cpu_ticks "$desktop") - d0))"
            # Again with the sound driver's thread ended, after the idle figures:
            # every program then read in the same state.
            ended=$(probe memory "$pid" ended | tr -d '\r')
            log "idle prog=$p check=${setting// /_} $ticks $mem $ended"
            stop "$p" "$pid"
        done
    done

    echo "[$logpixels] == leaks, ShapeWindow, the Update and a hover refresh, in-process under Wine"
    "$wine" "$bin/leak_bench.exe" "${VT_BENCH_UPDATES:-100000}" "${VT_BENCH_HOVERS:-10000}" </dev/null 2>/dev/null |
        tr -d '\r' | sed 's/^/leak /' | tee -a "$raw"
    echo "[$logpixels] == the same Update and hover refresh by hand (same_window /time), in-process under Wine"
    "$wine" "$bin/same_window.exe" /time "${VT_BENCH_UPDATES:-100000}" "${VT_BENCH_HOVERS:-10000}" </dev/null \
        2>/dev/null | tr -d '\r' | sed 's/^/hand /' | tee -a "$raw"

    if [ "${VT_BENCH_TOP_USERS:-0}" = 1 ]; then
        echo "[$logpixels] == the three largest processes, in-process under Wine"
        "$wine" "$bin/top_users_bench.exe" 50 150 300 </dev/null 2>/dev/null | tr -d '\r' |
            sed 's/^extra=[0-9]* //; s/^/topusers /' | tee -a "$raw"
    fi
    if [ -n "${VT_BENCH_SOAK:-}" ]; then
        echo "[$logpixels] == soak: ${VT_BENCH_SOAK} s of checks every second, in-process under Wine"
        "$wine" "$bin/leak_bench.exe" soak "$VT_BENCH_SOAK" </dev/null 2>/dev/null | tr -d '\r' |
            sed 's/^/soak /' | tee -a "$raw"
    fi
}

first=1
for dpi in $dpis; do
    logpixels=$dpi
    raw="$out/$dpi.txt"
    if [ "${VT_BENCH_PARALLEL:-0}" = 1 ]; then
        if [ $first = 0 ]; then
            while [ ! -e "$previous.started" ] && jobs -r | grep -q .; do sleep 5; done
        fi
        rm -f "$raw.started"
        (measure "$logpixels" "$raw") &
        previous=$raw
    else
        (measure "$logpixels" "$raw")
    fi
    first=0
done
wait

echo "== the Update on the fake platform"
build/bench/update_bench --benchmark_repetitions=7 --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null | sed 's/^/update /' >"$out/fake.txt"

python3 bench/report.py --idle "$idle" --memory-at "$memory_at" --hz "$(getconf CLK_TCK)" \
    "$out/fake.txt" "$out"/[0-9]*.txt | tee bench/RESULTS.md
