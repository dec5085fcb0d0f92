#!/usr/bin/env bash
# polar-editor as a user starts it: help and usage errors need no display and say what is
# wrong, with exit code 2 for bad usage; without a display it says so and exits 1, and a
# platform that needs no display still runs it.
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

# No display: the reason and the way to run it, not Qt's abort. No data folder is made.
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
expect 1 "polar-editor: no display found: neither DISPLAY nor WAYLAND_DISPLAY is set" \
  --check --data-dir "$data/none"
expect 1 "xvfb-run polar-editor --check --data-dir $data/none" --check --data-dir "$data/none"
if [ -e "$data/none" ]; then
  echo "FAIL: polar-editor made its data folder before it knew there was no display" >&2
  failures=$((failures + 1))
fi
# A platform without a display opens and closes the window and the editor, from the
# environment or the command line.
for how in env cli; do
  if [ "$how" = env ]; then
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$data" \
      XDG_CONFIG_HOME="$data/config-$how" timeout 60 "$program" --check --data-dir "$data/$how" 2>&1)
  else
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$data" \
      XDG_CONFIG_HOME="$data/config-$how" timeout 60 "$program" -platform offscreen --check \
      --data-dir "$data/$how" 2>&1)
  fi
  got=$?
  # The settings go to the XDG config home, never elsewhere.
  if [ "$got" -ne 0 ] || [ ! -s "$data/$how/Sail/POLAR.PPD" ] ||
    ! printf '%s\n' "$out" | grep -qx "window drawn" ||
    ! grep -q "Sail/POLAR.PPD" "$data/config-$how/polar-editor/polar-editor.conf"; then
    echo "FAIL: polar-editor --check on the offscreen platform ($how) gave exit $got and:" >&2
    echo "$out" >&2
    failures=$((failures + 1))
  fi
done

# A check never waits for a person: a data file that is a folder, not a data file at all or
# cannot be read ends it at once with exit 1, saying why, and nothing is written.
mkdir "$data/folder.ppd"
head -c 4096 "$program" >"$data/binary.ppd"
printf 'Main,\r\n6.00,45.00,\r\n40.00,4.10,-2' >"$data/unreadable.ppd"
chmod 000 "$data/unreadable.ppd"
cases=("folder.ppd:not a regular file" "binary.ppd:the reading stopped")
# The superuser reads any file: the case shows only for others.
if ! head -c 1 "$data/unreadable.ppd" >/dev/null 2>&1; then
  cases+=("unreadable.ppd:Permission denied")
fi
for case in "${cases[@]}"; do
  file=${case%%:*}
  reason=${case#*:}
  before=$(cksum <"$data/binary.ppd")
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$data" \
    XDG_CONFIG_HOME="$data/config-check" timeout 5 "$program" --check --data-dir "$data/env" \
    "$data/$file" 2>&1)
  got=$?
  if [ "$got" -ne 1 ] || ! grep -qF "$data/$file" <<<"$out" || ! grep -qF "$reason" <<<"$out" ||
    [ "$(cksum <"$data/binary.ppd")" != "$before" ]; then
    echo "FAIL: polar-editor --check $file gave exit $got (expected 1, saying \"$reason\") and:" >&2
    echo "$out" >&2
    failures=$((failures + 1))
  fi
done
chmod 600 "$data/unreadable.ppd"

[ "$failures" -eq 0 ] && echo "PASS"
exit "$failures"
