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
# A Debug build (assertions on) with the libraries at -O1, as the sanitizers advise for speed
# (the tests' own code stays at -O0, tests/CMakeLists.txt): at -O0 the tests that compute (a big
# import, learning from logs) ran ten times as long as in the release build, at -O1 three.
# The Signal K server that a test installs from npm is installed once, for both builds.
sanitizer_options=(-G Ninja -DPOLAR_WERROR=ON -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1"
  -DPOLAR_SANITIZE=ON -DPOLAR_BENCH=OFF "-DPOLAR_SIGNALK_CACHE=$PWD/$release_dir/signalk-server")

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

# The sanitizer build and the fuzz targets' build, made at the lowest priority while the
# release tests and the package check run, and the fuzz build on through the sanitizer tests.
# Each runs in a session of its own, so that it stops with the command should that stop early;
# its output goes to a log, and a failed build is built again in the foreground to show why.
cmake -S . -B "$sanitizer_dir" "${sanitizer_options[@]}" >/dev/null
background=()
in_background() { # in_background LOG COMMAND...
  local log=$1
  shift
  setsid nice -n 19 "$@" >"$log" 2>&1 &
  background+=($!)
}
stop_background() {
  for pid in "${background[@]}"; do
    kill -- -"$pid" 2>/dev/null || true
  done
}
trap stop_background EXIT
in_background "$sanitizer_dir/background-build.log" cmake --build "$sanitizer_dir" -j "$jobs"
mkdir -p build-fuzz
in_background build-fuzz/background-build.log scripts/fuzz.sh build

step release tests
ctest --test-dir "$release_dir" --output-on-failure -j "$jobs"

step Debian package
scripts/check-package.sh "$release_dir"

step "AddressSanitizer + UndefinedBehaviorSanitizer build (waiting for the background build)"
wait "${background[0]}" || echo "the background build failed; building again to show why:" >&2
cmake --build "$sanitizer_dir" -j "$jobs"

step "AddressSanitizer + UndefinedBehaviorSanitizer tests"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$sanitizer_dir" --output-on-failure -j "$jobs"

step "fuzzing, a minute per target (waiting for the background build)"
wait "${background[1]}" || echo "the fuzz build failed; building again to show why:" >&2
trap - EXIT
scripts/fuzz.sh 60

step done
