#!/bin/sh
# The library must export exactly polar, reload_polar and close_polar.
set -eu
# Global and weak symbols only: a sanitizer build keeps some local ones in the dynamic table.
exports=$(nm -D -g --defined-only "$1" | awk '{print $3}' | sort | tr '\n' ' ')
if [ "$exports" != "close_polar polar reload_polar " ]; then
  echo "unexpected exports: $exports"
  exit 1
fi
echo "exports: $exports"
