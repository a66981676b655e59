#!/usr/bin/env bash
# vortrel render: why a conversion cannot start, warnings, the timeline's picture, how much
# it prints, and how it stops on a signal.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

"$tool" testsrc clip.mkv --seconds 1 --kind av --size 64x48 --fps 10 2>/dev/null
printf 'AddVideoClip 1 "clip.mkv" 0 1 0\nAddAudioClip 5 "clip.mkv" 0 1 0 1\nSaveProject "project.xml"\nClear\nSaveProject "empty.xml"\n' |
  "$tool" script - >/dev/null 2>&1
[ -s project.xml ] && [ -s empty.xml ] || fail "no projects to render"

# project | output and flags | exit | what it says on stderr, lines starting with "vortrel:"
small="--set MP4Width=64 --set MP4Height=48"
while IFS='|' read -r project args code want; do
  # shellcheck disable=SC2086
  "$tool" render "$project" $args >stdout 2>stderr
  got=$?
  said=$(grep '^vortrel:' stderr)
  [ "$got" -eq "$code" ] || fail "render $project $args -> exit $got (want $code)"
  [ "$said" = "$(printf '%b' "$want")" ] || fail "render $project $args said '$said' (want '$want')"
  # A render that does not start leaves nothing under its name.
  out=${args%% *}
  [ "$code" -eq 0 ] || [ ! -e "$out" ] || fail "render $project $args left $out"
done <<TABLE
project.xml|no/x.mp4 --type 2|1|vortrel: render: cannot write no/x.mp4: there is no folder $work/no
project.xml|odd.mp4 --type 2 --set MP4Width=33|1|vortrel: render: cannot write odd.mp4: the picture size 33x480 is not an even size from 16 to 4096
project.xml|wide.mp4 --type 2 --set MP4Width=8000|1|vortrel: render: cannot write wide.mp4: the picture size 8000x480 is not an even size from 16 to 4096
project.xml|fast.mp4 --type 2 --set MP4Framerate=500|1|vortrel: render: cannot write fast.mp4: the frame rate 0/1 is not from 1 to 240 frames per second
project.xml|p.wmv --type 1 --set WMVProfile=999|1|vortrel: render: cannot write p.wmv: the output type or its profile is unknown
project.xml|t.mp4 --type 13|2|vortrel: render: the output type 13 is not from 0 to 12
project.xml|s.avi --type 0 --size 0x20|2|vortrel: render: --size 0x20 is not from 1x1 to 8192x8192
project.xml|s.avi --type 0 --size big|2|vortrel: render: --size: a frame size is written WxH, not 'big'
project.xml|s.avi --type 0 --set Nothing=1|2|vortrel: render: no property Nothing to set
empty.xml|e.mp4 --type 2|1|vortrel: render: cannot write e.mp4: the timeline is empty
project.xml|named.mkv --type 2 $small|0|vortrel: render: warning: named.mkv does not end in .mp4: output type 2 writes MP4
project.xml|sized.avi --type 0 --size 96x64 --fps 10|0|
TABLE
"$tool" render project.xml s.avi --type 0 --fps 0 >/dev/null 2>stderr
[ $? -eq 2 ] && [ "$(grep -c '^vortrel:' stderr)" -eq 1 ] || fail "--fps 0 was not refused in one line"
# AVI is written at the timeline's picture.
info=$("$tool" info sized.avi 2>/dev/null | grep -E '^(width|height|frameRate):' | paste -sd,)
[ "$info" = "width: 96 px,height: 64 px,frameRate: 10 fps" ] || fail "--size 96x64 --fps 10 wrote $info"

# How much a render prints: progress lines off a terminal and nothing on stderr; --quiet
# nothing at all; --verbose the libraries' notes as well (before or after the command).
"$tool" render project.xml plain.avi --type 0 >stdout 2>stderr
[ "$(tail -1 stdout)" = "100%" ] && [ ! -s stderr ] || fail "a plain render printed $(cat stdout stderr)"
"$tool" render project.xml quiet.avi --type 0 --quiet >stdout 2>stderr
[ ! -s stdout ] && [ ! -s stderr ] && [ -s quiet.avi ] || fail "--quiet printed $(cat stdout stderr)"
for flags in "--verbose render project.xml loud.mp4" "render project.xml loud.mp4 --verbose"; do
  # shellcheck disable=SC2086
  "$tool" $flags --type 2 $small >stdout 2>stderr
  [ "$(tail -1 stdout)" = "100%" ] && grep -q 'libx264' stderr || fail "$flags printed no notes"
done
"$tool" render project.xml both.avi --type 0 --quiet --verbose >/dev/null 2>&1
[ $? -eq 2 ] || fail "--quiet with --verbose was taken"

# SIGINT and SIGTERM stop a render of a real child process: exit 128 + the signal, one line,
# and neither the file nor its temporary part is left. Job control gives the child the
# default handling of SIGINT, which a shell's background jobs otherwise ignore.
set -m
"$tool" testsrc long.mkv --seconds 20 --kind av --size 64x48 --fps 10 2>/dev/null
printf 'AddVideoClip 1 "long.mkv" 0 20 0\nSaveProject "long.xml"\n' | "$tool" script - >/dev/null 2>&1
for signal in INT:130 TERM:143; do
  name=${signal%%:*} code=${signal##*:}
  before=$(ls)
  "$tool" render long.xml stopped.mp4 --type 2 --set MP4Width=1280 --set MP4Height=720 \
    --set MP4H264Preset=7 >stdout 2>stderr &
  child=$!
  for _ in $(seq 300); do grep -q '%' stdout && break; sleep 0.1; done  # it is writing
  kill -"$name" "$child"
  wait "$child"
  got=$?
  [ "$got" -eq "$code" ] || fail "SIG$name -> exit $got (want $code)"
  [ "$(grep '^vortrel:' stderr)" = "vortrel: render: stopped by SIG$name; stopped.mp4 was not written" ] ||
    fail "SIG$name said $(cat stderr)"
  [ "$(ls)" = "$before" ] || fail "SIG$name left $(ls | grep -vxF "$before")"
done
set +m

[ "$failures" -eq 0 ] && echo "render: all checks held"
exit "$((failures > 0))"
