#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format makes of it with the project's style.
# Lists the files itself, so it works as well in a copy of the tree without git: every .cpp and .h
# outside hidden folders and build folders.
set -euo pipefail
cd "$(dirname "$0")/.."
files=$(find . \( -path './.*' -o -path './build*' \) -prune -o \
  -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort)
if [[ -z "$files" ]]; then
  echo "Formatting: no C++ files found" >&2
  exit 1
fi
xargs clang-format --dry-run --Werror <<<"$files"
echo "Formatting: clean, $(wc -l <<<"$files") files."
