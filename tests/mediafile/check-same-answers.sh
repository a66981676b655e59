#!/usr/bin/env bash
# check-same-answers.sh HOST_PROGRAM WORKDIR WINDOWS_COMMAND...: makes a set of small media
# files with the host's ffmpeg tool (once, in WORKDIR), asks the Linux build's
# vortrel-media-answers (HOST_PROGRAM) and the Windows build's (WINDOWS_COMMAND, run under
# Wine) about them, and fails on the first line where their answers differ.
# Exits 77 (skipped) when the Linux build's program is not there yet.
set -uo pipefail
host=${1:?usage: check-same-answers.sh HOST_PROGRAM WORKDIR WINDOWS_COMMAND...}
work=${2:?}
shift 2

if [ ! -x "$host" ]; then
  echo "check-same-answers: $host is missing: build the linux preset first (make test does)"
  exit 77
fi
mkdir -p "$work"
cd "$work" || exit 2

make_media() {
  local name=$1
  shift
  [ -s "$name" ] && return 0
  ffmpeg -nostdin -v error -y "$@" "$name" || { echo "could not make $name"; exit 2; }
}
pattern=(-f lavfi -i "testsrc=d=2:r=25:s=64x48")
tone=(-f lavfi -i "sine=f=440:d=2:r=44100")
make_media lossless.mkv "${pattern[@]}" "${tone[@]}" -c:v ffv1 -c:a flac
make_media compressed.mp4 "${pattern[@]}" "${tone[@]}" -c:v mpeg4 -g 10 -bf 2 -q:v 2 -c:a aac
make_media h264.mp4 "${pattern[@]}" -c:v libx264 -preset ultrafast -g 12 -an
make_media bare.h264 "${pattern[@]}" -c:v libx264 -preset ultrafast -f h264
make_media mjpeg.avi "${pattern[@]}" "${tone[@]}" -c:v mjpeg -q:v 3 -c:a pcm_s16le
make_media stereo.wav -f lavfi -i "sine=f=300:d=1.5:r=48000" -ac 2 -c:a pcm_s16le
make_media tone.mp3 "${tone[@]}" -c:a libmp3lame -b:a 64k
make_media tone.ogg "${tone[@]}" -c:a libvorbis
make_media stream.m1v "${pattern[@]}" -c:v mpeg1video -f mpeg1video
make_media picture.png -f lavfi -i "color=c=green:s=64x48" -frames:v 1
printf 'Nothing to see here.\n' >notes.txt
files=(lossless.mkv compressed.mp4 h264.mp4 bare.h264 mjpeg.avi stereo.wav tone.mp3 tone.ogg
       stream.m1v picture.png notes.txt missing.mkv)

"$host" "${files[@]}" >linux.txt 2>linux.err || { cat linux.err; exit 1; }
"$@" "${files[@]}" | tr -d '\r' >windows.txt 2>windows.err || { cat windows.err; exit 1; }
if ! diff -u linux.txt windows.txt >differences.txt; then
  # Lines of decoded audio: "  audio: decode R, N samples, peak P, rms X, checksum C".
  if ! paste -d '\n' linux.txt windows.txt | awk '
      NR % 2 == 1 { linux = $0; next }
      linux == $0 { next }
      linux ~ /^  audio: decode/ && $0 ~ /^  audio: decode/ {
        split(linux, a, /[ ,]+/); split($0, w, /[ ,]+/)
        # fields (the line opens with blanks): 4 result, 5 count, 8 peak, 10 rms
        if (a[4] == w[4] && a[5] == w[5] && (a[8] - w[8])^2 <= 4 && (a[10] - w[10])^2 <= 4) {
          loose++; next
        }
      }
      { print "- " linux; print "+ " $0; bad = 1 }
      END { if (loose) print loose " audio answers alike within rounding"; exit bad }'; then
    echo "check-same-answers: the Windows build answers differently (- Linux, + Windows)"
    exit 1
  fi
fi
echo "check-same-answers: ${#files[@]} files, $(wc -l <linux.txt) answers alike"
