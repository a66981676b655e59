#!/usr/bin/env bash
# vortrel snapshot paints a project's timeline as a script's window paints it: the same PNG
# byte for byte at the same size, from any folder; size, zoom and play head change it, and a
# file that cannot be written leaves what was there.
set -u
tool=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# The width and height a PNG file's header gives, as WxH.
png_size() {
  python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read(24)
assert data[:8] == b"\x89PNG\r\n\x1a\n" and data[12:16] == b"IHDR"
print("%dx%d" % struct.unpack(">II", data[16:24]))' "$1" 2>/dev/null || echo "not a PNG"
}

mkdir proj
cat >proj/build.vts <<'SCRIPT'
!testsrc clip.mkv 3 video 64x48
AddVideoClip 1 "clip.mkv" 0.5 3 0
AddEffect 4 "Sepia" 1 2 ""
SaveProject "project.xml"
!size 640 300
LoadProject "project.xml"
!snapshot window.png
SCRIPT
(cd proj && "$tool" script build.vts >/dev/null 2>&1) || fail "the project could not be made"

# From another folder, the media beside the project: the picture of the script's window.
"$tool" snapshot proj/project.xml same.png --size 640x300 2>stderr || fail "snapshot: $(cat stderr)"
cmp -s same.png proj/window.png || fail "the snapshot differs from the script's window"
[ ! -s stderr ] || fail "snapshot said: $(cat stderr)"
"$tool" snapshot proj/project.xml plain.png || fail "snapshot without options failed"
[ "$(png_size plain.png)" = 800x400 ] || fail "the default snapshot is $(png_size plain.png)"
"$tool" snapshot proj/project.xml small.png --size 123x45 || fail "--size 123x45 failed"
[ "$(png_size small.png)" = 123x45 ] || fail "--size 123x45 gave $(png_size small.png)"
for options in "--zoom 0.25" "--position 2500"; do
  # shellcheck disable=SC2086
  "$tool" snapshot proj/project.xml changed.png $options || fail "$options failed"
  ! cmp -s changed.png plain.png || fail "$options changed nothing"
done

# expect CODE ARGS...: the exit code, and one "vortrel:" line on stderr for every failure.
expect() {
  local code=$1
  shift
  "$tool" snapshot "$@" >/dev/null 2>stderr
  local got=$?
  local lines
  lines=$(grep -c '^vortrel' stderr)
  [ "$got" -eq "$code" ] && [ "$lines" -eq "$((code > 0))" ] ||
    fail "snapshot $* -> exit $got (want $code), stderr: $(cat stderr)"
}
expect 1 nothere.xml out.png
expect 1 proj/build.vts out.png
expect 1 proj/project.xml nofolder/out.png
expect 2 proj/project.xml out.png --size 0x100
expect 2 proj/project.xml out.png --size 9000x100
expect 2 proj/project.xml out.png --size wide
expect 2 proj/project.xml out.png --zoom 0
expect 2 proj/project.xml out.png --position -1
[ ! -e out.png ] || fail "a refused snapshot left out.png"
# A folder in the way is not replaced.
mkdir taken.png
expect 1 proj/project.xml taken.png
[ -d taken.png ] || fail "the folder in the way is gone"
# An older picture is replaced whole.
cp small.png again.png
"$tool" snapshot proj/project.xml again.png || fail "replacing a picture failed"
cmp -s again.png plain.png || fail "the replaced picture is not the new one"

[ "$failures" -eq 0 ] && echo "snapshot: all checks held"
exit "$((failures > 0))"
