#!/usr/bin/env bash
# vortrel info: units for people, one JSON object with --json, and one line and exit code 1
# for a file that is missing or not media. Media is made with ffmpeg; the JSON is read by
# python3 (there with gcovr).
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

ffmpeg -nostdin -v error -f lavfi -i testsrc=d=4:r=25:s=64x48 -c:v mpeg1video -f mpeg1video \
  pattern.m1v || exit 1
cp pattern.m1v named.mp4  # the name says MP4; the bytes are a bare MPEG-1 stream
ffmpeg -nostdin -v error -f lavfi -i sine=d=4:r=48000 -c:a aac -f adts tone.aac || exit 1
printf '1\n00:00:00,000 --> 00:00:02,500\nFirst "line"\n\n2\n00:00:03,000 --> 00:00:05,000\nSecond\n' \
  >lines.srt
ffmpeg -nostdin -v error -i lines.srt -c:s srt subtitles.mkv || exit 1
printf 'Nothing to see here.\n' >notes.txt

# lines FILE LINE...: info prints exactly these lines among its own.
lines() {
  local file=$1
  shift
  "$tool" info "$file" >stdout 2>stderr || fail "info $file exited $?"
  for line in "$@"; do
    grep -qxF "$line" stdout || fail "info $file printed no '$line'; it printed: $(paste -sd'|' stdout)"
  done
}
for file in pattern.m1v named.mp4; do
  lines "$file" 'duration: 4 s' 'width: 64 px' 'height: 48 px' 'frameRate: 25 fps' \
    'videoStreams: 1' 'audioStreams: 0' 'audioSampleRate: 0 kHz' 'container: mpegvideo' \
    'videoFormat: mpeg1video'
done
lines tone.aac 'audioSampleRate: 48 kHz' 'audioChannels: 1' 'audioFormat: aac' 'width: 0 px'
grep -qE '^duration: 4\.0[0-4][0-9]* s$' stdout || fail "tone.aac lasts $(grep duration stdout)"
grep -qE '^audioBitRate: [1-9][0-9]* kbit/s$' stdout || fail "tone.aac: $(grep audioBitRate stdout)"
lines subtitles.mkv 'duration: 5 s' 'container: matroska' 'videoStreams: 0' 'audioStreams: 0'

# The JSON holds the same names as the lines, numbers as numbers and names as strings.
for file in pattern.m1v tone.aac subtitles.mkv; do
  "$tool" info "$file" 2>/dev/null | sed 's/: .*//' >names
  "$tool" info --json "$file" 2>/dev/null >info.json || fail "info --json $file exited $?"
  python3 - "$file" names info.json <<'EOF' || fail "info --json $file is not the facts as JSON"
import json, sys
file, names, document = sys.argv[1], open(sys.argv[2]).read().split(), open(sys.argv[3]).read()
facts = json.loads(document)
assert list(facts) == names, (list(facts), names)
texts = {"container", "videoFormat", "audioFormat"}
for name, value in facts.items():
    kind = str if name in texts else (int, float)
    assert isinstance(value, kind) and not isinstance(value, bool), (name, value)
expected = {"pattern.m1v": (4, 1, 0, "mpegvideo"), "tone.aac": (None, 0, 1, "aac"),
            "subtitles.mkv": (5, 0, 0, "matroska")}[file]
duration, video, audio, container = expected
assert duration is None or facts["duration"] == duration, facts
assert (facts["videoStreams"], facts["audioStreams"]) == (video, audio), facts
assert facts["container"] == container, facts
EOF
done

# refuse MESSAGE ARGS...: info exits 1 with exactly this one line and prints nothing.
refuse() {
  local message=$1
  shift
  "$tool" info "$@" >stdout 2>stderr
  local got=$?
  local said
  said=$(grep -E '^(vortrel|error):' stderr)
  [ "$got" -eq 1 ] && [ "$said" = "vortrel: $message" ] && [ ! -s stdout ] ||
    fail "info $* exited $got saying '$said' (want 1 and '$message'), printed $(cat stdout)"
}
refuse "notes.txt is not a media file" notes.txt
refuse "notes.txt is not a media file" --json notes.txt
refuse "$work is not a media file" "$work"
refuse "no such file: missing.mkv" missing.mkv
if [ "$(id -u)" -ne 0 ]; then  # the superuser reads everything
  cp pattern.m1v locked.m1v && chmod 000 locked.m1v
  refuse "cannot read locked.m1v" locked.m1v
fi

[ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
echo "all info checks passed"
