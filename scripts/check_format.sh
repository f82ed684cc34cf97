#!/usr/bin/env bash
# Fails when a C++ file differs from what .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
# Files deleted in the working tree but not yet committed are skipped.
git ls-files -co --exclude-standard -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' |
  while IFS= read -r file; do [ -f "$file" ] && printf '%s\n' "$file"; done |
  xargs -r clang-format --dry-run --Werror
