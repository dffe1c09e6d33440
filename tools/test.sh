#!/usr/bin/env bash
# Every test: the include rules, the native unit tests (AddressSanitizer +
# UndefinedBehaviorSanitizer) against the fake platform, the 32-bit build
# (compile and link), the programs' import tables, a bounded libFuzzer run
# over the number conversions, and under wine64 on a private X display the
# real backend's tests and the end-to-end tests of Veltrane.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh

echo "== include rules"
python3 tools/check_includes.py --self-test
python3 tools/check_includes.py

jobs=$(nproc)
cmake -S . -B build/native -G Ninja -DVT_SANITIZE=ON >/dev/null
cmake --build build/native -j "$jobs"
cmake -S . -B build/x64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
cmake --build build/x64 -j "$jobs"
cmake -S . -B build/x86 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/x86 -j "$jobs" --target Veltrane

echo "== import tables: KnownDLLs only, randomised and no-execute"
python3 tools/check_imports.py --self-test
python3 tools/check_imports.py x86_64-w64-mingw32-objdump build/x64/Veltrane.exe
python3 tools/check_imports.py i686-w64-mingw32-objdump build/x86/Veltrane.exe

echo "== native unit tests"
ctest --test-dir build/native --output-on-failure --timeout 60

echo "== conversion fuzzing, 60 s over a copy of the seed corpus"
cmake -S tests/fuzz -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j "$jobs"
fuzz_corpus=$(mktemp -d)
cp tests/fuzz/corpus/* "$fuzz_corpus"/
fuzz_status=0
build/fuzz/convert_fuzz -max_total_time=60 -timeout=10 -rss_limit_mb=2048 -artifact_prefix=build/fuzz/ \
    "$fuzz_corpus" >build/fuzz/fuzz.log 2>&1 || fuzz_status=$?
rm -rf "$fuzz_corpus"
if ((fuzz_status)); then
    tail -n 60 build/fuzz/fuzz.log
    echo "conversion fuzzing failed; the input is in build/fuzz/ (crash-*)"
    exit 1
fi
grep -E '^Done [0-9]+ runs' build/fuzz/fuzz.log || true

echo "== Wine: backend and end-to-end tests"
source tools/wine_session.sh
vt_start_display
vt_start_wine
ctest --test-dir build/x64 --output-on-failure --timeout 180
