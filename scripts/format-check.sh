#!/usr/bin/env bash
# Fails when a C++ file of the repository drifts from .clang-format; with --fix, formats
# them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run -Werror "${files[@]}" 2>/tmp/tabrik-format.$$; then
  grep -E '^[^ ].*: error:' /tmp/tabrik-format.$$ | cut -d: -f1 | sort -u | sed 's/^/not formatted: /' >&2
  rm -f /tmp/tabrik-format.$$
  echo "Run scripts/format-check.sh --fix" >&2
  exit 1
fi
rm -f /tmp/tabrik-format.$$
