#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine.
# Idempotent: when every package is present it installs nothing and touches no
# package list; otherwise it runs `apt-get update` once and installs the rest.
set -euo pipefail

packages=(
  # build tools
  build-essential cmake ninja-build pkg-config clang-format ccache
  # tests and benchmarks
  googletest libgtest-dev libgmock-dev libbenchmark-dev gcovr
  # media the tests make in formats of other encoders (B-frames, elementary streams, 5.1, ...)
  ffmpeg
  # fuzz targets: clang with libFuzzer and the sanitizer runtimes
  clang-14 libclang-rt-14-dev
  # project file
  libtinyxml2-dev
  # command-line tool
  libcli11-dev
  # editing engine, probing and decoding
  libmlt++-dev libmlt-dev melt
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev
  # drawing, the window and preview
  qtbase5-dev fonts-liberation libsdl2-dev xvfb xauth libxcb1-dev
  # the Windows build: mingw-w64 cross compilers, widl and Wine's IDL files for the type
  # library, zlib for FFmpeg's PNG decoder, Wine to run it (FFmpeg and tinyxml2 come from
  # Debian's source packages, fetched by the build: dpkg-dev unpacks them)
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libwine-dev libz-mingw-w64-dev
  dpkg-dev wine wine64 xdotool
)

# 32-bit Windows programs run under wine32, an i386 package: i386 joins dpkg's architectures
# (with the package-list update that needs) only when wine32 is missing. On a machine whose
# archive has no i386 packages its install fails; the rest is installed anyway and the
# Windows tests then run 64-bit only.
# Once i386 is there and the archive still offers no wine32, later runs do not try again.
want_wine32=0
if [ "$(dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null || true)" != "install ok installed" ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386 ||
     apt-cache show wine32:i386 >/dev/null 2>&1; then
    want_wine32=1
  fi
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ "${#missing[@]}" -eq 0 ] && [ "$want_wine32" -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

export DEBIAN_FRONTEND=noninteractive
if [ "$want_wine32" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "bootstrap: adding the i386 architecture for wine32"
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
if [ "${#missing[@]}" -gt 0 ]; then
  echo "bootstrap: installing ${missing[*]}"
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if [ "$want_wine32" -eq 1 ]; then
  echo "bootstrap: installing wine32:i386"
  $sudo apt-get install -y -qq --no-install-recommends wine32:i386 >/dev/null ||
    echo "bootstrap: wine32 could not be installed; the Windows tests will run 64-bit only" >&2
fi
echo "bootstrap: done"
