#!/usr/bin/env bash
# check-window-picture.sh PROJECT LINUX_TOOL COMPARE OUTDIR -- CAPTURE...: the control's window
# under Wine (CAPTURE... hosts it in AtlAxWin and writes a BMP) against the Linux snapshot of
# the same project at the same size and zoom. Outside the text the two are drawn by the same
# views, so nearly every pixel agrees; the pictures and a map of the differing pixels stay in
# OUTDIR. Skips (77) without the Linux tools.
set -u
project=$1 tool=$2 compare=$3 out=$4
shift 4
[ "${1:-}" = -- ] && shift
[ -x "$tool" ] && [ -x "$compare" ] || { echo "no Linux vortrel or vortrel-imagecompare: skipped"; exit 77; }
# The share of identical pixels measured when the test was written was 99.3 per cent; the
# floor leaves room for a different face metric on another machine.
floor=98
size=800x400 zoom=0.25
mkdir -p "$out"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
"$tool" snapshot "$project" "$out/linux.png" --size "$size" --zoom "$zoom" 2>/dev/null ||
  { echo "the Linux snapshot failed"; exit 1; }
"$@" "$(winpath "$(realpath "$project")")" "${size%x*}" "${size#*x}" "$zoom" \
  "$(winpath "$(realpath "$out")/windows.bmp")" || { echo "the Windows capture failed"; exit 1; }
"$compare" "$out/windows.bmp" "$out/linux.png" --floor "$floor" --diff "$out/differences.png"
