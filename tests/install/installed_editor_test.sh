#!/usr/bin/env bash
# Installs into a staging folder (DESTDIR) with the prefix /usr, puts the build folder's library
# out of reach, and runs the installed polar-editor (offscreen) until its editor has opened and
# closed: the installed program must find the installed library on its own.
# Usage: installed_editor_test.sh BUILD_DIR BUILT_LIBRARY
set -euo pipefail
build=$1
built_library=$2

stage=$(mktemp -d)
hidden="$built_library.out-of-reach"
cleanup() {
  if [ -e "$hidden" ]; then mv "$hidden" "$built_library"; fi
  rm -rf "$stage"
}
trap cleanup EXIT

DESTDIR="$stage/root" cmake --install "$build" --prefix /usr >/dev/null
installed_library=$(find "$stage/root/usr" -name libpolar.so)
if [ -z "$installed_library" ]; then
  echo "FAIL: no libpolar.so was installed" >&2
  exit 1
fi
echo "installed: ${installed_library#"$stage/root"}"

# No path of the build tree among the installed programs' strings (debug information aside).
for program in polar-editor polarctl; do
  if readelf -p .rodata "$stage/root/usr/bin/$program" | grep -qF "$(cd "$build" && pwd)"; then
    echo "FAIL: the installed $program holds a path of the build tree" >&2
    exit 1
  fi
done

mv "$built_library" "$hidden"
log="$stage/editor.log"
if ! QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$stage" XDG_DATA_HOME="$stage/data-home" \
  timeout 60 "$stage/root/usr/bin/polar-editor" --check --verbose --data-dir "$stage/data" \
  >"$log" 2>&1; then
  cat "$log" >&2
  echo "FAIL: the installed polar-editor did not open and close its editor" >&2
  exit 1
fi
cat "$log"
grep -qF "library ${installed_library}" "$log" || { echo "FAIL: not the installed library" >&2; exit 1; }
grep -q "WM_POLAR_NOTIFY 0" "$log" || { echo "FAIL: the editor did not close" >&2; exit 1; }
[ -s "$stage/data/Sail/POLAR.PPD" ] || { echo "FAIL: the data folder was not seeded" >&2; exit 1; }
echo "PASS"
