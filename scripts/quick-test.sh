#!/usr/bin/env bash
# The developer's inner loop, beside the whole check (scripts/test.sh): the formatting, the
# include rules, the release build and its tests without the real-display ones. No sanitizer
# build, no package, no fuzzing; CTest's arguments may follow (-R PATTERN, say).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/release-build.sh
export QT_QPA_PLATFORM=offscreen

scripts/check-format.sh
scripts/check-includes.py
cmake -S . -B "$release_dir" "${release_options[@]}" >/dev/null
cmake --build "$release_dir" -j "$(nproc)"
ctest --test-dir "$release_dir" --output-on-failure -j "$(nproc)" -LE display "$@"
