#!/usr/bin/env bash
# Fails when a C++ source of the project differs from .clang-format; lists the files.
# Mend them with: clang-format -i <files>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
files=$( { git ls-files -co --exclude-standard -- '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h'; } \
  | grep -v '^build' | sort -u)
bad=()
for f in $files; do
  [ -f "$f" ] || continue
  if ! clang-format --dry-run --Werror "$f" >/dev/null 2>&1; then bad+=("$f"); fi
done
if [ ${#bad[@]} -gt 0 ]; then
  echo "Not formatted as .clang-format says (clang-format -i to mend):" >&2
  printf '  %s\n' "${bad[@]}" >&2
  exit 1
fi
echo "Formatting: every C++ source is as .clang-format says."
