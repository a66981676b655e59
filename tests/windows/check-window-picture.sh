#!/usr/bin/env bash
# check-window-picture.sh PROJECT LINUX_TOOL COMPARE OUTDIR -- CAPTURE...: the control's window
# under Wine (CAPTURE... hosts it in AtlAxWin and writes a BMP) against the Linux snapshot of
# the same project at the same size and zoom, with media the Linux tool makes beside it (poster
# frames, a waveform, a picture). Outside the text the two are drawn by the same views, so
# nearly every pixel agrees; the pictures and a map of the differing pixels stay in OUTDIR.
# Skips (77) without the Linux tools.
set -u
project=$1 tool=$2 compare=$3 out=$4
shift 4
[ "${1:-}" = -- ] && shift
[ -x "$tool" ] && [ -x "$compare" ] || { echo "no Linux vortrel or vortrel-imagecompare: skipped"; exit 77; }
# The share of identical pixels measured when the test was written was 97.2 per cent (text,
# scroll arrows and the scaled poster frames and picture differ a little); the floor leaves
# room for a different face metric on another machine.
floor=96
size=800x400 zoom=0.25
mkdir -p "$out"
out=$(realpath "$out")
cp "$project" "$out/project.xml"
cd "$out" || exit 1
# The project names its media relative to its folder, where both programs run.
printf '%s\n' '!testsrc intro.mp4 6 av 320x240' '!testsrc overlay.mkv 5 video 320x240' \
  '!testsrc music.wav 10 audio' '!testsrc logo.png 1 image 160x120' >media.vts
"$tool" script media.vts >/dev/null || { echo "the media could not be made"; exit 1; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }
"$tool" snapshot project.xml linux.png --size "$size" --zoom "$zoom" ||
  { echo "the Linux snapshot failed"; exit 1; }
"$@" "$(winpath "$out/project.xml")" "${size%x*}" "${size#*x}" "$zoom" \
  "$(winpath "$out/windows.bmp")" 2>/dev/null || { echo "the Windows capture failed"; exit 1; }
"$compare" "$out/windows.bmp" "$out/linux.png" --floor "$floor" --diff "$out/differences.png" \
  --copy "$out/windows.png"
