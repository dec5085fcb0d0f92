#!/usr/bin/env bash
# Fails when a C++ source file is not formatted as .clang-format says (a dry run: nothing is
# changed). Run clang-format -i on the files it names to mend them.
set -euo pipefail
cd "$(dirname "$0")/.."

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path ./build -prune -o -path './build-*' -prune -o \
    \( -name '*.cpp' -o -name '*.h' \) -print)
fi
clang-format --dry-run --Werror "${files[@]}"
echo "formatting: ${#files[@]} files as .clang-format says"
