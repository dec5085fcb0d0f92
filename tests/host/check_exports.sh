#!/bin/sh
# The library must export exactly polar, reload_polar and close_polar.
set -eu
exports=$(nm -D --defined-only "$1" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$exports" != "close_polar polar reload_polar " ]; then
  echo "unexpected exports: $exports"
  exit 1
fi
echo "exports: $exports"
