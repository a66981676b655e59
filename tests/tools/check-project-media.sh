#!/usr/bin/env bash
# Projects used from other folders: relative media names are found beside the project, clips
# whose media is missing are named one line each, and script works in the current folder.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
export SDL_AUDIODRIVER=dummy
unset DISPLAY

# script runs in the current folder by default: the relative clip is found there and the
# saved project stays.
mkdir proj
(cd proj && "$tool" testsrc clip.mkv --seconds 0.6 --kind av --size 64x48 --fps 10 &&
  "$tool" testsrc logo.png --kind image --size 32x24 &&
  printf '%s\n' 'AddVideoClip 1 "clip.mkv" 0 0.6 0' 'AddImageClip 3 "logo.png" 0 0.3' \
    'AddAudioClip 5 "clip.mkv" 0 0.6 0 1' 'SaveProject "project.xml"' |
  "$tool" script - >made.out 2>/dev/null)
[ "$(cat proj/made.out)" = $'AddVideoClip -> 0\nAddImageClip -> 0\nAddAudioClip -> 0\nSaveProject -> 1' ] ||
  fail "script in the current folder printed: $(cat proj/made.out)"
[ -s proj/project.xml ] || fail "script left no project in the current folder"
# --workdir is made when missing and holds what the script writes.
printf 'SaveProject "kept.xml"\n' | "$tool" script - --workdir elsewhere/deeper >/dev/null 2>&1
[ -s elsewhere/deeper/kept.xml ] || fail "script --workdir left no project there"

# A project whose picture and audio clip name files that are not there; the video clip's is.
sed -e '0,/<Source>clip.mkv/! s#<Source>clip.mkv</Source>#<Source>../gone.mkv</Source>#' \
  -e 's#<Source>logo.png</Source>#<Source>nothere.png</Source>#' proj/project.xml >proj/broken.xml
grep -q 'gone.mkv' proj/broken.xml || fail "the broken project names no missing file"

# A file of the same name in the current folder is not the one the project means.
"$tool" testsrc clip.mkv --seconds 2 --kind video --size 32x24 2>/dev/null

# run CODE ARGS...: runs the tool from the work folder; its stderr lines that start with
# "vortrel:" are left in said.
run() {
  local code=$1
  shift
  "$tool" "$@" >stdout 2>stderr
  local got=$?
  said=$(grep '^vortrel:' stderr)
  [ "$got" -eq "$code" ] || fail "$* -> exit $got (want $code); stderr: $(cat stderr)"
}
missing="track 3 (image), clip 0: no media file $work/proj/nothere.png"
missing+="\\nvortrel: COMMAND: track 5 (audio 1), clip 0: no media file $work/gone.mkv"
# command   flags   exit   the lines it says
while IFS='|' read -r command flags code lines; do
  # shellcheck disable=SC2086
  run "$code" $command $flags
  want=$(printf '%b' "$lines" | sed "s/COMMAND/${command%% *}/")
  [ "$said" = "$want" ] || fail "$command $flags said '$said' (want '$want')"
done <<TABLE
export-mlt proj/project.xml graph.mlt||0|
render proj/project.xml out.avi --type 0||0|
export-mlt proj/broken.xml broken.mlt||1|vortrel: export-mlt: $missing\nvortrel: export-mlt: 2 clips lack their media; --allow-missing goes on without
export-mlt proj/broken.xml broken.mlt|--allow-missing|0|vortrel: export-mlt: $missing
render proj/broken.xml broken.avi --type 0||1|vortrel: render: $missing\nvortrel: render: 2 clips lack their media; --allow-missing goes on without
render proj/broken.xml broken.avi --type 0|--allow-missing|0|vortrel: render: $missing
play proj/broken.xml||0|vortrel: play: $missing
snapshot proj/broken.xml shot.png||0|vortrel: snapshot: $missing
TABLE

# From another folder the graph and the render use the clip beside the project.
# (MLT writes names under the graph's root folder relative to it.)
grep -q '>\([^<]*/\)\?proj/clip.mkv<' graph.mlt || fail "the graph does not name proj/clip.mkv"
info=$("$tool" info out.avi 2>/dev/null | grep -E '^(duration|videoStreams|audioStreams):' | paste -sd,)
[[ "$info" =~ ^duration:\ 0\.6[0-9]*\ s,videoStreams:\ 1,audioStreams:\ 1$ ]] ||
  fail "the render from another folder gave: $info"
[ ! -e "$work/gone.mkv" ] || fail "something made the missing file"
[ ! -e broken.avi ] || [ -s broken.avi ] || fail "a refused render left an empty file"

[ "$failures" -eq 0 ] && echo "project media: all checks held"
exit "$((failures > 0))"
