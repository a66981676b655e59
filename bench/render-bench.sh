#!/usr/bin/env bash
# render-bench.sh VORTREL [SECONDS] [RUNS]: how long `vortrel render` takes to write a
# generated project (60 s unless told) to MP4, against melt rendering the same timeline
# (exported with `vortrel export-mlt`) with the same encoder settings, as the ratio of the
# median times; the goal is at most 1.02. Projects keep no picture size or rate, so both
# render at the timeline's own 320x240 and 15 fps.
set -eu
tool=$(realpath "$1")
seconds=${2:-60}
runs=${3:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$tool" testsrc clip.mkv --seconds "$seconds" --kind av --size 320x240 --fps 15
cat >make.vts <<SCRIPT
AddVideoClip 1 "clip.mkv" 0 $seconds 0
AddAudioClip 5 "clip.mkv" 0 $seconds 0 1
SaveProject "project.xml"
SCRIPT
"$tool" script make.vts --workdir "$work" >/dev/null 2>&1
"$tool" export-mlt project.xml project.mlt 2>/dev/null

# The MP4 settings and the avformat consumer properties they come to.
settings=(--set MP4Width=320 --set MP4Height=240 --set MP4Framerate=15 --set MP4H264Preset=4
          --set MP4VideoBitrate=1000000 --set MP4AudioBitrate=96000
          --set MP4AudioSampleRate=44100 --set MP4AudioChannels=2)
consumer=(f=mp4 vcodec=libx264 vpreset=medium vb=1000000 acodec=aac ab=96000 frequency=44100
          channels=2 real_time=-1 terminate_on_pause=1)

now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
fastest() { printf '%s\n' "$@" | sort -g | head -1; }

vortrel_times=()
melt_times=()
for run in $(seq "$runs"); do
  start=$(now)
  "$tool" render project.xml vortrel.mp4 --type 2 "${settings[@]}" >/dev/null 2>&1
  vortrel_times+=("$(echo "$(now) - $start" | bc -l)")
  start=$(now)
  melt -quiet project.mlt -consumer avformat:melt.mp4 "${consumer[@]}" >/dev/null 2>&1
  melt_times+=("$(echo "$(now) - $start" | bc -l)")
done

vortrel_median=$(median "${vortrel_times[@]}")
melt_median=$(median "${melt_times[@]}")
printf 'render of %s s at 320x240, 15 fps, MP4, %s runs each (median seconds)\n' "$seconds" "$runs"
printf '  vortrel render  %8.2f   (%s)\n' "$vortrel_median" "${vortrel_times[*]}"
printf '  melt            %8.2f   (%s)\n' "$melt_median" "${melt_times[*]}"
printf '  ratio           %8.3f   (goal <= 1.02)\n' "$(echo "$vortrel_median / $melt_median" | bc -l)"
# On a shared machine the fastest runs show the tool's own cost best.
printf '  fastest ratio   %8.3f   (%.2f against %.2f)\n' \
  "$(echo "$(fastest "${vortrel_times[@]}") / $(fastest "${melt_times[@]}")" | bc -l)" \
  "$(fastest "${vortrel_times[@]}")" "$(fastest "${melt_times[@]}")"
printf '  files           %s bytes (vortrel), %s bytes (melt)\n' \
  "$(stat -c %s vortrel.mp4)" "$(stat -c %s melt.mp4)"
