#!/usr/bin/env bash
# Installs what is missing, checks the formatting and the include rules, then builds and runs
# every test twice: a release build with warnings as errors (which also builds and checks the
# Debian package), and a build with AddressSanitizer and UndefinedBehaviorSanitizer; last, a
# clang build of the fuzz targets runs each for a minute beyond its corpus. Headless.
#
# The sanitizer and fuzz builds are made while the release build's tests run, at the lowest
# priority: the tests spend much of their time waiting (for windows on their displays, for
# servers), and the builds take only what the tests leave. Each step's time is printed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
source scripts/release-build.sh  # the folder and configuration scripts/run.sh uses too

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
sanitizer_dir=build-asan
# The Signal K server that a test installs from npm is installed once, for both builds.
sanitizer_options=(-G Ninja -DPOLAR_WERROR=ON -DCMAKE_BUILD_TYPE=Debug -DPOLAR_SANITIZE=ON
  -DPOLAR_BENCH=OFF "-DPOLAR_SIGNALK_CACHE=$PWD/$release_dir/signalk-server")

start=$SECONDS
step() {
  echo "== $* (at $(((SECONDS - start) / 60))m$(((SECONDS - start) % 60))s)"
}

step formatting
scripts/check-format.sh

step include rules
scripts/check-includes.py

step release build
cmake -S . -B "$release_dir" "${release_options[@]}" >/dev/null
cmake --build "$release_dir" -j "$jobs"

# Configured here, so that a configuration error stops the command at once; built beside the
# release tests. Its output goes to a log, shown when the foreground build below fails again.
cmake -S . -B "$sanitizer_dir" "${sanitizer_options[@]}" >/dev/null
mkdir -p "$sanitizer_dir"
# A session of its own, so that the builds stop with the command should it stop early.
setsid bash -c 'nice -n 19 cmake --build "$1" -j "$2" && nice -n 19 scripts/fuzz.sh build' \
  background-build "$sanitizer_dir" "$jobs" >"$sanitizer_dir/background-build.log" 2>&1 &
background=$!
trap 'kill -- -"$background" 2>/dev/null || true' EXIT

step release tests
ctest --test-dir "$release_dir" --output-on-failure -j "$jobs"

step Debian package
scripts/check-package.sh "$release_dir"

step "AddressSanitizer + UndefinedBehaviorSanitizer build (waiting for the background build)"
if ! wait "$background"; then
  echo "the background build failed; building again to show why:" >&2
fi
trap - EXIT
cmake --build "$sanitizer_dir" -j "$jobs"

step "AddressSanitizer + UndefinedBehaviorSanitizer tests"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$sanitizer_dir" --output-on-failure -j "$jobs"

step "fuzzing, a minute per target"
scripts/fuzz.sh 60

step done
