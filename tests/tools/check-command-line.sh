#!/usr/bin/env bash
# The vortrel command line: exit codes (0 ok, 1 failure, 2 usage) and one-line errors.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

# expect CODE ERRORLINES ARGS...: runs the tool, checks its exit code and how many lines
# it wrote to stderr that start with "vortrel:" or "error:" (libraries may add their own).
expect() {
  local code=$1 lines=$2
  shift 2
  "$@" >stdout 2>stderr
  local got=$?
  local errors
  errors=$(grep -c -E '^(vortrel|error):' stderr)
  if [ "$got" -ne "$code" ] || [ "$errors" -ne "$lines" ]; then
    echo "FAILED: $* -> exit $got (want $code), $errors error lines (want $lines)"
    sed 's/^/  stderr: /' stderr
    failures=$((failures + 1))
  fi
}

expect 0 0 "$tool" --version
grep -qx 'vortrel [0-9.]*' stdout || { echo "FAILED: --version printed $(cat stdout)"; failures=$((failures + 1)); }
expect 0 0 "$tool" --help
expect 2 1 "$tool"
commands="selfcheck, script, info, catalog, testsrc, render, play, export-mlt, snapshot"
for call in "nonsense:" "rendr: (did you mean render?)" "--verbose Info: (did you mean info?)"; do
  words=${call%%:*} hint=${call#*:}
  # shellcheck disable=SC2086
  expect 2 1 "$tool" $words
  [ "$(cat stderr)" = "vortrel: unknown command '${words##* }'$hint; the commands are $commands" ] ||
    { echo "FAILED: $words said $(cat stderr)"; failures=$((failures + 1)); }
done
expect 2 1 "$tool" script
expect 2 1 "$tool" info

expect 0 0 "$tool" testsrc clip.mkv --seconds 0.5 --kind video --size 64x48 --fps 10
[ -s clip.mkv ] || { echo "FAILED: testsrc wrote no clip.mkv"; failures=$((failures + 1)); }
expect 0 0 "$tool" testsrc still.png --kind image --size 31x17
expect 2 1 "$tool" testsrc clip.mkv
expect 2 1 "$tool" testsrc clip.mkv --seconds abc
expect 1 1 "$tool" testsrc no/such/folder/clip.mkv --seconds 1

# refuse CODE MESSAGE PATH ARGS...: testsrc refuses with exactly this one message and
# writes nothing at PATH.
refuse() {
  local code=$1 message=$2
  shift 2
  expect "$code" 1 "$tool" testsrc "$@"
  local said
  said=$(grep -E '^(vortrel|error):' stderr)
  if [ "$said" != "vortrel: testsrc: $message" ] || [ -e "$1" ]; then
    echo "FAILED: testsrc $* said '$said' (want '$message') or left $1"
    failures=$((failures + 1))
  fi
}
format="(use .mp4, .mkv, .avi, .wav or .png)"
refuse 2 "a .wav file cannot hold kind video" tone.wav --seconds 1 --kind video
refuse 2 "a .png file cannot hold kind av" still2.png --seconds 1 --kind av
refuse 2 "a .mp4 file cannot hold kind image" clip.mp4 --seconds 1 --kind image
refuse 2 "cannot tell the format of 'clip.mov' $format" clip.mov --seconds 1
refuse 2 "cannot tell the format of 'noextension' $format" noextension --seconds 1
refuse 2 "frame size 33x17 is not an even size from 2x2 to 8192x8192" odd.mkv --seconds 1 \
  --kind video --size 33x17
for seconds in 0 -1 nan; do
  refuse 2 "the length must be above 0 and at most a day" bad.wav --seconds "$seconds" --kind audio
done
refuse 2 "the length is shorter than one frame" short.mkv --seconds 0.01 --kind video
refuse 2 "the frame rate must be from 1 to 240" slow.mkv --seconds 1 --kind video --fps 0.5
refuse 2 "unknown kind 'AV' (video, audio, av or image)" kind.mkv --seconds 1 --kind AV
for size in 640 640x x360 640X360 -2x2 +2x2 2x2x2 axb; do
  refuse 2 "a frame size is written WxH, not '$size'" size.mkv --seconds 1 --size "$size"
done
refuse 1 "cannot create missing/still.png" missing/still.png --kind image

# made FIELDS PATH ARGS...: each kind of file testsrc writes opens with the asked length (the
# exact count of frames or samples shows in it), size, rate and streams. FIELDS are info's
# lines but the bit rates, without units, comma-separated.
made() {
  local want=$1
  shift
  expect 0 0 "$tool" testsrc "$@"
  local got
  got=$("$tool" info "$1" 2>/dev/null | grep -v 'BitRate:' | sed 's/^[^:]*: //; s/ .*//' | paste -sd,)
  [ "$got" = "$want" ] || { echo "FAILED: testsrc $* gave $got (want $want)"; failures=$((failures + 1)); }
}
# 1.3 s at 25 fps is 32.5 frames, which round to 33; 2 s at 29.97 fps make 60 frames.
made 1.32,64,48,25,44,2,1,1,matroska,ffv1,flac av.mkv --seconds 1.3 --kind av --size 64x48
made 0.92,64,48,25,44,2,1,1,avi,mjpeg,pcm_s16le av.avi --seconds 0.9 --kind av --size 64x48
made 1.12,64,48,25,44,2,1,1,mov,mpeg4,aac av.mp4 --seconds 1.1 --kind av --size 64x48
made 0.52,64,48,25,0,0,1,0,mov,mpeg4, video.mp4 --seconds 0.5 --kind video --size 64x48
made 2.002,64,48,29.97,0,0,1,0,matroska,ffv1, ntsc.mkv --seconds 2 --kind video --size 64x48 \
  --fps 29.97
made 0,33,17,0,0,0,1,0,png,png, still.png --kind image --size 33x17
made 0.77,0,0,0,44,2,0,1,matroska,,flac audio.mkv --seconds 0.77 --kind audio
# 1.2345 s of 44100 Hz is 54441 samples: 1.23449 s.
made 1.23449,0,0,0,44,2,0,1,wav,,pcm_s16le audio.wav --seconds 1.2345 --kind audio

expect 0 0 "$tool" info clip.mkv
# check-info.sh pins the lines themselves.
[ "$(grep -c ': ' stdout)" -eq 13 ] || { echo "FAILED: info prints 13 lines"; failures=$((failures + 1)); }

expect 0 0 "$tool" catalog
# A display that cannot be reached leaves the tool working off-screen.
(export DISPLAY=:4711; expect 0 0 "$tool" catalog; exit "$failures") || failures=$((failures + 1))
grep -q '^transition 0: ' stdout && grep -q '^effect 0: ' stdout ||
  { echo "FAILED: catalog lists no transition or effect"; failures=$((failures + 1)); }

printf 'GetTrackCount\n' >ok.vts
expect 0 0 "$tool" script ok.vts
grep -qx 'GetTrackCount -> 8' stdout || { echo "FAILED: script printed $(cat stdout)"; failures=$((failures + 1)); }
printf 'GetTrackCount\n' | { "$tool" script - >stdin.out 2>/dev/null; }
grep -qx 'GetTrackCount -> 8' stdin.out || { echo "FAILED: script - read no standard input"; failures=$((failures + 1)); }
printf 'GetTrackCount\nNoSuchMember\n' >bad.vts
expect 2 1 "$tool" script bad.vts
grep -qx 'error: 2: .*' stderr || { echo "FAILED: script error names no line"; failures=$((failures + 1)); }
expect 1 1 "$tool" script missing.vts

# fault 'LINE: MESSAGE' SCRIPT: the script is refused with exactly this one error, found
# before anything runs. SCRIPT takes printf's escapes (\n between lines).
fault() {
  printf '%b' "$2" >fault.vts
  expect 2 1 "$tool" script fault.vts
  local said
  said=$(grep -E '^(vortrel|error):' stderr)
  if [ "$said" != "error: $1" ] || [ -s stdout ]; then
    echo "FAILED: script '$2' said '$said' (want 'error: $1'), printed $(cat stdout)"
    failures=$((failures + 1))
  fi
}
# Lines and words.
fault "3: => must be followed by one \$name at the end of the line" 'Clear\n\nGetScale => $a $b'
fault "3: => must be followed by one \$name at the end of the line" 'Clear\n\nGetScale $a =>\n'
fault "1: => must be followed by one \$name at the end of the line" 'GetScale => a'
fault "1: a capture without a call" '=> $a'
fault "1: get must be followed by a property name" 'get'
fault "1: put must be followed by a property name" 'put "MPEGWidth" 1'
fault "1: '12' is not a member name" '12 1'
fault "1: 'AddVideoClip' is not a member name" '"AddVideoClip" 1'
fault "1: 'Add-Clip' is not a member name" 'Add-Clip 1'
fault "2: a string is not closed" 'Clear\nAddVideoClip "open\nClear'
fault "1: a string is not closed" '"ends with \\'
fault "1: unknown escape \\q in a string (\\\" \\\\ \\n \\r \\t)" '"bad \\q"'
fault "1: text follows a closing quote without a space" '"glued"x'
fault "1: a quote inside a word: 'a\"'" 'a"b"'
for name in '$' '$1x' '$a-b'; do
  fault "1: '$name' is not a capture name (a \$ and a letter, then letters, digits or _)" "$name"
done
# Members, properties, arguments and captures.
fault "2: unknown member 'AddVideoClp' (did you mean AddVideoClip?)" 'Clear\nAddVideoClp 1 "a" 0 1 0'
fault "1: unknown property 'Nothing'" 'get Nothing'
fault "1: unknown property 'mp4widht' (did you mean MP4Width?)" 'put mp4widht 2'
fault "1: unknown directive '!testscr' (did you mean !testsrc?)" '!testscr a.mkv 1 video'
fault "1: property 'IsPause' cannot be written" 'put IsPause 1'
fault "1: unknown property 'AddVideoClip'" 'get AddVideoClip'
fault "3: GetTrackCount takes 0 arguments, got 1" 'GetTrackCount\n\nGetTrackCount 1\n'
fault "1: put MPEGWidth takes 1 argument, got 0" 'put MPEGWidth'
fault "1: argument 1 of GetClipCount: expected an integer, got '1'" 'GetClipCount "1"'
fault "1: argument 1 of GetClipCount: expected an integer, got '1.0'" 'GetClipCount 1.0'
fault "1: argument 1 of SetScale: expected a float, got 'null'" 'SetScale null'
fault "1: argument 1 of LoadProject: expected a string in quotes or null, got '1'" 'LoadProject 1'
fault "1: argument 1 of LoadProject: expected a string in quotes or null, got 'a.mp4'" \
  'LoadProject a.mp4'
fault "1: argument 1 of MPEGWidth: '2147483648' is out of the range of an integer" \
  'put MPEGWidth 2147483648'
fault "1: argument 1 of GetClipCount: '99999999999999999999' is out of the range of an integer" \
  'GetClipCount 99999999999999999999'
fault "1: argument 8 of AddTextClip: '-1' is out of the range of an unsigned integer" \
  'AddTextClip 7 "t" 0 1 0 0 0 -1'
fault "1: argument 1 of SetScale: '1e39' is out of the range of a float" 'SetScale 1e39'
fault "1: argument 1 of GetClipCount: \$n is not captured before" 'GetClipCount $n'
fault "2: argument 1 of GetClipCount: \$s holds a float, not an integer" \
  'GetScale => $s\nGetClipCount $s'
fault "4: argument 2 of GetTextClip: \$s holds a float, not an integer" \
  '!font $f "Sans" 10 400\nAddTextClip 7 "t" 0 1 $f 0 0 0\nGetScale => $s\nGetTextClip $f $s'
fault "1: Clear has no output to capture" 'Clear => $c'
# Directives.
fault "1: unknown directive '!nothing'" '!nothing 1'
fault "1: usage: !testsrc PATH SECONDS KIND [WxH]" '!testsrc a.mkv 1'
fault "1: expected a length in seconds, got 'one'" '!testsrc a.mkv one video'
fault "1: a frame size is written WxH, not '2x'" '!testsrc a.mkv 1 video 2x'
fault "1: !font names its capture first, as \$name" '!font f "Sans" 10 400'
fault "1: !font takes the face name in quotes" '!font $f Sans 10 400'
fault "2: usage: !mouse down|move|up X Y" 'Clear\n!mouse down 1'
fault "1: expected down, move or up, got 'press'" '!mouse press 1 2'
fault "1: expected a y from -32768 to 32767, got 32768" '!mouse up 0 32768'
fault "1: expected a width from -32768 to 32767, got -40000" '!size -40000 10'
fault "1: expected an x, got '1.5'" '!pixel 1.5 2'
fault "1: !snapshot has no output to capture" '!snapshot a.png => $p'
# Captures are known from their line on, whatever the member returns; a failure while
# running stops the script at its line.
printf 'GetClipCount 1 => $n\nGetScale => $s\nSetScale $n\nSetScale $s\n' >ok2.vts
expect 0 0 "$tool" script ok2.vts
printf 'GetTrackCount\n!testsrc no/such/folder/a.wav 1 audio\nGetTrackCount\n' >stops.vts
expect 1 1 "$tool" script stops.vts
[ "$(cat stdout)" = "GetTrackCount -> 8" ] && grep -q '^error: 2: ' stderr ||
  { echo "FAILED: a failing line did not stop the script"; failures=$((failures + 1)); }
printf '!snapshot no/such/folder/a.png\nGetTrackCount\n' >stops.vts
expect 1 1 "$tool" script stops.vts
[ ! -s stdout ] && grep -q '^error: 1: cannot write no/such/folder/a.png' stderr ||
  { echo "FAILED: a snapshot that cannot be written did not stop the script"; failures=$((failures + 1)); }

# play: a half-second clip to its end, without sound or display.
export SDL_AUDIODRIVER=dummy
printf 'AddVideoClip 1 "clip.mkv" 0 0.5 0\nSaveProject "project.xml"\n' >project.vts
"$tool" script project.vts --workdir "$work" >/dev/null 2>&1
(unset DISPLAY; expect 0 0 "$tool" play project.xml; exit "$failures") || failures=$((failures + 1))
(unset DISPLAY; "$tool" play project.xml >play.out 2>/dev/null)
[ "$(head -1 play.out)" = "position 0.000 s" ] && [ "$(tail -1 play.out)" = "completed" ] ||
  { echo "FAILED: play printed:"; cat play.out; failures=$((failures + 1)); }
expect 1 1 "$tool" play missing.xml
expect 1 1 "$tool" play ok.vts
expect 2 1 "$tool" play project.xml --seconds -1
expect 2 1 "$tool" play

[ "$failures" -eq 0 ] && echo "command line: all checks held"
exit "$(( failures > 0 ))"
