#!/usr/bin/env bash
# check-conformance.sh SCRIPT EXPECTED PLATFORM_LINES MEDIA_TOOL -- RUN...: runs a call script
# through vortrel-com under Wine (RUN... is the Wine command line of the runner) and compares
# its output with the Linux tool's expected output, statement by statement. The statements
# that platform-lines.txt lists for this script (by their line in the script) are left out
# of the comparison; a script listed with * is skipped as a whole. The media the script
# makes with !testsrc is made beforehand by MEDIA_TOOL, the Linux vortrel tool. Exit 77: skipped.
set -u
script=$1 expected=$2 platform=$3 media_tool=$4
shift 4
[ "${1:-}" = -- ] && shift
name=$(basename "$script")

listed=$(awk -v name="$name" -F'[: \t]+' '$1 == name { print $2 }' "$platform")
if grep -qx '\*' <<<"$listed"; then
  echo "$name: left to the platform as a whole (see $(basename "$platform"))"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if grep -q '^[[:space:]]*!testsrc' "$script"; then
  if [ ! -x "$media_tool" ]; then
    echo "$name: needs the Linux vortrel tool to make its media ($media_tool is missing)"
    exit 77
  fi
  grep '^[[:space:]]*!testsrc' "$script" >"$work/media.vts"
  "$media_tool" script "$work/media.vts" --workdir "$work/run" >/dev/null || exit 1
fi
mkdir -p "$work/run"

winpath() { printf 'Z:%s' "${1//\//\\}"; }
"$@" script "$(winpath "$script")" --workdir "$(winpath "$work/run")" >"$work/actual" \
  2>"$work/errors"
status=$?

# Blocks: the event lines a statement fired and its own result line, one block per statement.
awk -v listed="$(tr '\n' ' ' <<<"$listed")" -v name="$name" '
  BEGIN { n = split(listed, l, " "); for (i = 1; i <= n; i++) skip[l[i]] = 1 }
  FILENAME == ARGV[1] {
    if ($0 !~ /^[[:space:]]*($|#)/) line[++statements] = FNR
    next
  }
  FILENAME == ARGV[2] { e = e $0 "\n"; if ($0 !~ /^event /) { expected[++ne] = e; e = "" } next }
  { a = a $0 "\n"; if ($0 !~ /^event /) { actual[++na] = a; a = "" } }
  END {
    bad = 0
    for (i = 1; i <= statements; i++) {
      if (line[i] in skip) continue
      if (expected[i] != actual[i]) {
        printf "%s:%d: the output differs\n--- expected\n%s+++ actual\n%s", name, line[i],
               expected[i], actual[i]
        bad = 1
      }
    }
    if (a != "") { printf "%s: trailing output\n%s", name, a; bad = 1 }
    exit bad
  }' "$script" "$expected" "$work/actual"
result=$?
if [ "$result" -ne 0 ] || [ "$status" -ne 0 ]; then
  [ "$status" -eq 0 ] || { echo "$name: exit code $status; stderr:"; cat "$work/errors"; }
  exit 1
fi
echo "$name: output as on Linux ($(wc -w <<<"$listed") statements left to the platform)"
