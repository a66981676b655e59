#!/usr/bin/env bash
# vortrel-demo on a private X server: the tour builds, saves, reloads, pictures and renders the
# demo timeline; the saved project renders again through --load and --render; a failure is
# told on one line and ends the run with exit code 1 and no output file.
set -u
demo=$(realpath "$1")
work=$(mktemp -d)
xvfb=""
trap '[ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# A private X server on the first free display, which it names itself.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1400x900x24 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "FAILED: no private X server (Xvfb)"; exit 1; }
export DISPLAY=":$(head -1 "$work/display")"
unset QT_QPA_PLATFORM

# probe FILE: "codec WxH duration" of the first video stream and the file.
probe() {
  local video duration
  video=$(ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,width,height \
    -of default=nw=1:nk=1 "$1" 2>/dev/null | tr '\n' ' ' | sed 's/ $//')
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1" 2>/dev/null)
  echo "${video:-none} ${duration:-0}"
}
# lasts FILE: whether the file's duration is the demo timeline's 10 s (give or take a frame
# and the audio's last packet).
lasts() {
  local seconds
  seconds=$(probe "$1" | awk '{print $NF}')
  awk "BEGIN { exit !($seconds >= 9.9 && $seconds <= 10.2) }"
}

"$demo" --tour "$work/tour" >"$work/out" 2>"$work/err" || fail "the tour failed: $(cat "$work/err")"
[ ! -s "$work/err" ] || fail "the tour said: $(cat "$work/err")"
for file in demo.xml timeline.png window.png demo.mp4; do
  [ -s "$work/tour/$file" ] || fail "the tour wrote no $file"
  grep -q "$work/tour/$file" "$work/out" || fail "the tour did not name $file"
done
[ "$(probe "$work/tour/demo.mp4" | cut -d' ' -f1-3)" = "h264 320 240" ] ||
  fail "demo.mp4 holds $(probe "$work/tour/demo.mp4")"
lasts "$work/tour/demo.mp4" || fail "demo.mp4 lasts $(probe "$work/tour/demo.mp4")"

# The window with the preview paused and a clip selected by a press where the window
# reckons the clip lies.
"$demo" --screenshot "$work/window.png" --workdir "$work/tour" >/dev/null 2>"$work/err" ||
  fail "--screenshot failed: $(cat "$work/err")"
[ "$(head -c 8 "$work/window.png" | od -An -c | tr -d ' ')" = '211PNG\r\n032\n' ] ||
  fail "--screenshot wrote no PNG"

# The saved project again, from another folder, as the extension's type (FLV).
mkdir "$work/elsewhere" && cd "$work/elsewhere" || exit 1
"$demo" --load ../tour/demo.xml --render again.flv >/dev/null 2>"$work/err" ||
  fail "--load --render failed: $(cat "$work/err")"
[ "$(probe again.flv | cut -d' ' -f1)" = flv1 ] || fail "again.flv holds $(probe again.flv)"
lasts again.flv || fail "again.flv lasts $(probe again.flv)"

# expect CODE ARGS...: the exit code, one "vortrel-demo" line for a failure, no file written.
expect() {
  local code=$1
  shift
  "$demo" "$@" >/dev/null 2>"$work/err"
  local got=$?
  [ "$got" -eq "$code" ] && [ "$(grep -c '^vortrel-demo' "$work/err")" -eq 1 ] ||
    fail "vortrel-demo $* -> exit $got (want $code), stderr: $(cat "$work/err")"
}
expect 1 --load nothere.xml --render out.mp4
expect 1 --load ../tour/demo.xml --render nofolder/out.mp4
expect 2 --render out.mp4
expect 2 --load ../tour/demo.xml --render out.txt
[ ! -e out.mp4 ] && [ ! -e out.txt ] || fail "a failed run left a file"

[ "$failures" -eq 0 ] && echo "demo checks passed"
exit $((failures > 0))
