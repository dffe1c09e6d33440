#!/usr/bin/env bash
# What a user downloads: Veltrane.exe for 64-bit and for 32-bit Windows, each
# built as the normal build is (optimised, its symbols split off) and zipped
# with the README and the exe's SHA-256 sum, as
# dist/Veltrane-<version>-x64.zip and dist/Veltrane-<version>-x86.zip, the
# version as the program's version block spells it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tools/setup.sh

# resources/version.h spells the version for the version block; the
# preprocessor reads it the same way here.
version=$(printf '#include "resources/version.h"\nVT_VERSION_TEXT\n' | cpp -P -I "$root" - | tr -d '"[:space:]')
if ! [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
    echo "no version in resources/version.h (read '$version')" >&2
    exit 1
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p dist
for arch in x64 x86; do
    case $arch in
        x64) toolchain=cmake/mingw-x86_64.cmake ;;
        x86) toolchain=cmake/mingw-i686.cmake ;;
    esac
    # Build trees of their own, so that a developer's build type never ships.
    build=build/package-$arch
    cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j "$(nproc)" --target Veltrane

    rm -rf "${stage:?}"/*
    cp "$build/Veltrane.exe" README.md "$stage/"
    (cd "$stage" && sha256sum Veltrane.exe >Veltrane.exe.sha256)
    archive="dist/Veltrane-$version-$arch.zip"
    rm -f "$archive"
    (cd "$stage" && zip -q -X "$root/$archive" Veltrane.exe Veltrane.exe.sha256 README.md)
    echo "$archive: $(cut -d' ' -f1 "$stage/Veltrane.exe.sha256")"
done
