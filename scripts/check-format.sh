#!/usr/bin/env bash
# Checks (or with --fix, applies) the checked-in clang-format style on every C++ file.
set -u
cd "$(dirname "$0")/.." || exit 2
mapfile -t files < <(find src tools tests bench include examples -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort)
[ "${#files[@]}" -gt 0 ] || exit 0
if [ "${1:-}" = "--fix" ]; then
  exec clang-format -i "${files[@]}"
fi
clang-format --dry-run --Werror "${files[@]}" && echo "style: ${#files[@]} files formatted"
