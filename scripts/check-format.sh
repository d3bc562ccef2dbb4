#!/usr/bin/env bash
# Fails when a C++ source of the project differs from .clang-format; lists the files.
# Mend them with: clang-format -i <files>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <( { git ls-files -co --exclude-standard -- '*.cpp' '*.h' 2>/dev/null ||
  find . -name '*.cpp' -o -name '*.h'; } | grep -v '^build' | sort -u)
[ ${#files[@]} -gt 0 ] || exit 0
if ! out=$(printf '%s\0' "${files[@]}" | xargs -0 clang-format --dry-run --Werror 2>&1); then
  echo "Not formatted as .clang-format says (clang-format -i to mend):" >&2
  printf '%s\n' "$out" | grep -oE '^[^:]+\.(cpp|h)' | sort -u | sed 's/^/  /' >&2
  exit 1
fi
echo "Formatting: every C++ source is as .clang-format says."
