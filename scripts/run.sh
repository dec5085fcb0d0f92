#!/usr/bin/env bash
# Installs what is missing, builds, and starts the polar editor on the bundled sample
# (its data folder under the XDG data home is seeded with it on the first run).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target polar-editor polarctl

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "There is no display. Run it under a virtual one: apt-get install xvfb; xvfb-run scripts/run.sh" >&2
  exit 1
fi
exec build/bin/polar-editor "$@"
