#!/usr/bin/env bash
# Installs what is missing, builds, and starts the polar editor on the bundled sample
# (its data folder under the XDG data home is seeded with it on the first run).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# The test command's release build: after scripts/test.sh there is nothing left to build.
source scripts/release-build.sh
cmake -S . -B "$release_dir" "${release_options[@]}" >/dev/null
cmake --build "$release_dir" -j "$(nproc)" --target polar-editor polarctl

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "There is no display. Run it under a virtual one: apt-get install xvfb; xvfb-run scripts/run.sh" >&2
  exit 1
fi
exec "$release_dir/bin/polar-editor" "$@"
