#!/usr/bin/env bash
# compare-output.sh TOOL SCRIPT EXPECTED: runs a call script and compares what it prints
# with the expected output, showing a unified diff when they differ.
set -u
tool=$1 script=$2 expected=$3
actual=$(mktemp)
errors=$(mktemp)
work=$(mktemp -d)
trap 'rm -rf "$actual" "$errors" "$work"' EXIT

# Each script runs in a scratch folder of its own: what it writes goes with it.
"$tool" script "$script" --workdir "$work" >"$actual" 2>"$errors"
status=$?
if [ ! -f "$expected" ]; then
  echo "no expected output $expected; the script printed:"
  cat "$actual"
  exit 1
fi
if ! diff -u --label expected --label actual "$expected" "$actual"; then
  echo "$(basename "$script"): the output differs (- expected, + actual)"
  [ "$status" -eq 0 ] || { echo "exit code $status; stderr:"; cat "$errors"; }
  exit 1
fi
if [ "$status" -ne 0 ]; then
  echo "$(basename "$script"): exit code $status; stderr:"
  cat "$errors"
  exit 1
fi
echo "$(basename "$script"): output as expected"
