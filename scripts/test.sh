#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then builds and runs every test twice: a
# release build with warnings as errors (which also builds and checks the Debian package), and
# a build with AddressSanitizer and UndefinedBehaviorSanitizer; last, a clang build of the fuzz
# targets runs each for a minute beyond its corpus. Headless.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
source scripts/release-build.sh  # the folder and configuration scripts/run.sh uses too

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

run_build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== formatting"
scripts/check-format.sh

echo "== release build"
run_build "$release_dir" "${release_options[@]}"

echo "== Debian package"
scripts/check-package.sh "$release_dir"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_build build-asan -G Ninja -DPOLAR_WERROR=ON -DCMAKE_BUILD_TYPE=Debug -DPOLAR_SANITIZE=ON \
  -DPOLAR_BENCH=OFF

echo "== fuzzing, a minute per target"
scripts/fuzz.sh 60
