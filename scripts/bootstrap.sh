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
  # the widget tests move the real pointer and press the real button of their X server
  xdotool
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

echo "bootstrap: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "bootstrap: done"
