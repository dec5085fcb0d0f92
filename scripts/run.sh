#!/usr/bin/env bash
# Installs what is missing, builds, and shows the bundled sample POLAR.PPD.
# The editor application is not built yet: until it is, the sample is shown with polarctl.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target polarctl

build/apps/polarctl/polarctl check samples/POLAR.PPD
build/apps/polarctl/polarctl dump samples/POLAR.PPD
