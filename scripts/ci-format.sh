#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format makes of it with the project's style.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
echo "Formatting: clean."
