#!/usr/bin/env bash
# polar-editor as a user starts it: help and usage errors need no display and say what is
# wrong, with exit code 2 for bad usage.
# Usage: program_test.sh POLAR_EDITOR
set -uo pipefail
program=$1
failures=0

expect() {  # expect EXIT_CODE TEXT ARGS...
  local code=$1 text=$2
  shift 2
  local out
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" 2>&1)
  local got=$?
  if [ "$got" -ne "$code" ] || ! grep -qF -- "$text" <<<"$out"; then
    echo "FAIL: polar-editor $* gave exit $got (expected $code) and:" >&2
    echo "$out" >&2
    failures=$((failures + 1))
  fi
}

expect 0 "Usage: polar-editor" --help
expect 0 "polar-editor " --version
expect 2 "--lang needs a language number" --lang x
expect 2 "--colors needs five colours" --colors red
expect 2 "give at most one data file" a.ppd b.ppd
expect 2 "Unknown option 'frobnicate'" --frobnicate
expect 2 "--lang needs a language number" -platform offscreen --lang x

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
