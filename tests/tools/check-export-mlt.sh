#!/usr/bin/env bash
# export-mlt writes a graph that melt, run from another folder, renders to the same pictures
# and sound as `vortrel render`: a project of a 4:3 and a 16:9 video, a square still picture
# with a wipe, a text and a tone, both rendered losslessly and compared frame by frame.
set -u
tool=$(realpath "$1")
work=$(mktemp -d)
xvfb=""
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
# A step without which nothing further can be compared.
need() {
  fail "$@"
  exit 1
}

# Made files go to a cache of this test's own, which is emptied before melt runs: the graph
# must not depend on it.
export XDG_CACHE_HOME="$work/cache"
mkdir -p "$work/project" "$work/export" "$work/elsewhere"
cat >"$work/project/build.vts" <<'EOF'
!testsrc four-three.mp4 2 av 160x120
!testsrc wide.mkv 2 video 320x180
!testsrc square.png 1 image 100x100
!testsrc tone.wav 3 audio
!font $title "DejaVu Sans" -16 700
AddVideoClip 1 "four-three.mp4" 0 1.5 0
AddVideoClip 1 "wide.mkv" 1.5 3 0
AddImageClip 3 "square.png" 2 3
AddTransition 0 "Wipe Left to Right" 2 2.5 "" 3 1
AddTextClip2 7 "Title" 0.5 2 $title 10 40 255 255 0
AddAudioClip 5 "tone.wav" 0 3 0 0.5
SaveProject "project.xml"
EOF
cd "$work/project" || exit 1
"$tool" script build.vts --workdir . >/dev/null 2>&1 || need "the project could not be made"
# AVI with raw pictures and 16-bit PCM: nothing lossy between the two renders.
"$tool" render project.xml "$work/ours.avi" --type 0 --set AVIAudioCompressor=3 \
  >/dev/null 2>"$work/render.err" || need "render: $(cat "$work/render.err")"
"$tool" export-mlt project.xml "$work/export/graph.mlt" 2>"$work/export.err" ||
  need "export-mlt: $(cat "$work/export.err")"
# The controls are gone, and with them the text pictures they made; the wipe maps stay.
[ -n "$(ls "$XDG_CACHE_HOME/vortrel/wipes" 2>/dev/null)" ] || fail "no wipe maps in the cache"
[ -z "$(ls -A "$XDG_CACHE_HOME/vortrel/keys" 2>/dev/null)" ] ||
  fail "text pictures left in the cache: $(ls "$XDG_CACHE_HOME/vortrel/keys")"
rm -rf "$XDG_CACHE_HOME"

relative=$(grep -o 'name="resource">[^<]*' "$work/export/graph.mlt" | cut -d'>' -f2 |
  grep -v -e '^/' -e '^black$')
[ -z "$relative" ] || fail "the graph names resources by relative paths: $relative"
[ -n "$(ls "$work/export/graph.assets"/*.pgm 2>/dev/null)" ] || fail "no wipe map beside the graph"
[ -n "$(ls "$work/export/graph.assets"/*.png 2>/dev/null)" ] || fail "no text picture beside the graph"

# MLT reads PNG files through Qt only where there is a display, and through GDK (with other
# colours) elsewhere; a user's desktop has one.
cd "$work/elsewhere" || exit 1
if [ -z "${DISPLAY:-}" ]; then
  # A private X server on the first free display, which it names itself: no race with other
  # tests that start one at the same time.
  Xvfb -displayfd 3 -nolisten tcp -screen 0 320x240x24 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || need "no X server for melt"
  export DISPLAY=":$(head -1 "$work/display")"
fi
melt ../export/graph.mlt -consumer "avformat:$work/melt.avi" vcodec=rawvideo \
  pix_fmt=bgr24 acodec=pcm_s16le frequency=44100 channels=2 real_time=-1 >/dev/null 2>&1 ||
  need "melt could not render the graph"

# Frames with the text over 4:3, the text over 16:9, the 16:9 video, the wipe and the still.
figures=""
for at in 1.0 1.6 1.9 2.2 2.8; do
  psnr=$(ffmpeg -v error -nostdin -ss "$at" -i "$work/ours.avi" -ss "$at" -i "$work/melt.avi" \
    -frames:v 1 -lavfi "[0:v][1:v]psnr=stats_file=-" -f null - 2>/dev/null |
    sed -n 's/.*psnr_avg:\([^ ]*\).*/\1/p')
  if [ -z "$psnr" ] || { [ "$psnr" != inf ] && awk "BEGIN { exit !($psnr < 40) }"; }; then
    fail "the frame at ${at} s differs: PSNR ${psnr:-none} dB (want at least 40)"
  fi
  figures="$figures ${at}s:${psnr:-none}"
done

level() {
  ffmpeg -v info -nostdin -i "$1" -vn -af volumedetect -f null - 2>&1 |
    sed -n 's/.*mean_volume: \([-0-9.]*\) dB.*/\1/p'
}
ours=$(level "$work/ours.avi")
theirs=$(level "$work/melt.avi")
if [ -z "$ours" ] || [ -z "$theirs" ] ||
  awk "BEGIN { d = $ours - ($theirs); exit !(d > 0.5 || d < -0.5) }"; then
  fail "the sound differs: ${ours:-none} dB here, ${theirs:-none} dB in melt (want within 0.5)"
fi

[ "$failures" -eq 0 ] || exit 1
echo "export-mlt: melt renders the same pictures (PSNR dB$figures) and sound ($ours dB, $theirs dB)"
