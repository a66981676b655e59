#!/usr/bin/env bash
# build-ffmpeg-mingw.sh ARCH PREFIX [SOURCE_CACHE]: cross-builds a minimal FFmpeg for Windows
# (ARCH i686 or x86_64) from Debian's own source package, as shared libraries installed into
# PREFIX (bin/*.dll, lib/*.dll.a, include/, lib/pkgconfig/). Enough to probe and decode the
# media the control meets: the file protocol, the common demuxers, their parsers and
# decoders, swscale and swresample, zlib for PNG.
# Done once per PREFIX: a stamp there makes later calls return at once. The unpacked source
# is cached in SOURCE_CACHE (default build/debian-src) and shared by both architectures.
set -euo pipefail

arch=${1:?usage: build-ffmpeg-mingw.sh i686|x86_64 PREFIX [SOURCE_CACHE]}
prefix=${2:?usage: build-ffmpeg-mingw.sh i686|x86_64 PREFIX [SOURCE_CACHE]}
here=$(cd "$(dirname "$0")" && pwd)
cache=${3:-$here/../build/debian-src}

case "$arch" in
  i686) ffarch=x86 ;;
  x86_64) ffarch=x86_64 ;;
  *) echo "build-ffmpeg-mingw: unknown architecture '$arch' (i686 or x86_64)" >&2; exit 2 ;;
esac
triple=$arch-w64-mingw32

mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
stamp=$prefix/.vortrel-ffmpeg-built
if [ -f "$stamp" ]; then
  exit 0
fi

source_dir=$(bash "$here/debian-source.sh" ffmpeg "$cache")
work=$prefix.build
rm -rf "$work"
mkdir -p "$work"
started=$(date +%s)

# zlib and winpthread are linked into FFmpeg's DLLs: a folder that holds only their static
# libraries comes first in the search, so the DLLs need no zlib1.dll or libwinpthread-1.dll.
static=$work/static-libs
mkdir -p "$static"
for name in z winpthread pthread; do
  ln -sf "/usr/$triple/lib/lib$name.a" "$static/lib$name.a"
done

# configure's thousands of tiny test compiles run without ccache (it only slows them); the
# build itself compiles through ccache where there is one.
cc="$triple-gcc-posix"
build_cc=$cc
if command -v ccache >/dev/null; then
  build_cc="ccache $cc"
fi

join() { local IFS=,; echo "$*"; }
demuxers=(mov matroska avi wav mp3 flac ogg mpegps mpegts asf flv image2 png_pipe bmp_pipe
          jpeg_pipe h264 hevc aac ac3 m4v mpegvideo mjpeg)
parsers=(h264 hevc aac mpegaudio ac3 flac vorbis opus mpeg4video mpegvideo png mjpeg bmp vp8 vp9
         vc1 h263 dvbsub)
decoders=(h264 hevc mpeg4 mpeg1video mpeg2video mjpeg png bmp rawvideo ffv1 flv h263 msmpeg4v1
          msmpeg4v2 msmpeg4v3 wmv1 wmv2 wmv3 vc1 vp8 vp9 theora
          aac mp1 mp2 mp3 mp1float mp2float mp3float ac3 eac3 flac vorbis opus alac wmav1 wmav2
          pcm_s16le pcm_s16be pcm_u8 pcm_s24le pcm_s32le pcm_f32le pcm_f64le pcm_alaw pcm_mulaw)

echo "build-ffmpeg-mingw: configuring FFmpeg $(basename "$source_dir") for $triple in $work"
(cd "$work" && "$source_dir/configure" \
  --prefix="$prefix" --target-os=mingw32 --arch="$ffarch" --enable-cross-compile \
  --cross-prefix="$triple-" --cc="$cc" --pkg-config=false \
  --enable-shared --disable-static --disable-programs --disable-doc --disable-debug \
  --disable-x86asm --disable-everything --disable-network --disable-autodetect \
  --disable-avdevice --disable-avfilter --disable-postproc --disable-pthreads --enable-w32threads \
  --enable-zlib --enable-swscale --enable-swresample \
  --enable-protocol=file \
  --enable-demuxer="$(join "${demuxers[@]}")" \
  --enable-parser="$(join "${parsers[@]}")" \
  --enable-decoder="$(join "${decoders[@]}")" \
  --extra-ldflags="-static-libgcc -L$static" >"$work/configure.log" 2>&1) ||
  { tail -n 30 "$work/configure.log" >&2; echo "build-ffmpeg-mingw: configure failed" >&2; exit 1; }
configured=$(date +%s)

jobs=${FFMPEG_JOBS:-2}
(cd "$work" && make -j"$jobs" CC="$build_cc" >"$work/build.log" 2>&1 &&
   make install CC="$build_cc" >>"$work/build.log" 2>&1) ||
  { tail -n 30 "$work/build.log" >&2; echo "build-ffmpeg-mingw: build failed" >&2; exit 1; }
finished=$(date +%s)

echo "build-ffmpeg-mingw: $triple configured in $((configured - started)) s," \
     "built and installed in $((finished - configured)) s"
rm -rf "$work"
touch "$stamp"
