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
expect 2 1 "$tool" nonsense
expect 2 1 "$tool" script
expect 2 1 "$tool" info

expect 0 0 "$tool" testsrc clip.mkv --seconds 0.5 --kind video --size 64x48 --fps 10
[ -s clip.mkv ] || { echo "FAILED: testsrc wrote no clip.mkv"; failures=$((failures + 1)); }
expect 0 0 "$tool" testsrc still.png --kind image --size 31x17
expect 2 1 "$tool" testsrc tone.wav --seconds 1 --kind av
expect 2 1 "$tool" testsrc clip.mkv
expect 2 1 "$tool" testsrc clip.mkv --seconds 1 --size big
expect 2 1 "$tool" testsrc clip.mkv --seconds 1 --kind film
expect 2 1 "$tool" testsrc clip.xyz --seconds 1
expect 2 1 "$tool" testsrc clip.mkv --seconds abc
expect 1 1 "$tool" testsrc no/such/folder/clip.mkv --seconds 1

expect 0 0 "$tool" info clip.mkv
grep -qx 'width: 64' stdout && grep -qx 'videoStreams: 1' stdout && grep -qx 'audioStreams: 0' stdout ||
  { echo "FAILED: info clip.mkv printed:"; cat stdout; failures=$((failures + 1)); }
[ "$(grep -c ': ' stdout)" -eq 13 ] || { echo "FAILED: info prints 13 lines"; failures=$((failures + 1)); }
expect 1 1 "$tool" info missing.mp4

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
