#!/usr/bin/env bash
# The installed package: cmake --install puts the headers, libraries, tool and package files in
# place under a prefix; moved elsewhere, the prefix still serves find_package(Vortrel) and
# pkg-config; the example hosts build against it and run off-screen on a generated clip.
# Arguments: BUILD-TREE SOURCE-TREE WORK-FOLDER GENERATOR COMPILER [LAUNCHER]
set -u
build=$1 source=$2 work=$3 generator=$4 cxx=$5 launcher=${6:-}
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
# run LOG COMMAND...: runs a step, keeping its output in LOG and showing it when it fails.
run() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { fail "$* exited $?"; tail -n 40 "$log"; return 1; }
}

rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

# The install copies from the build tree, so the build must be complete; then there is
# nothing to do here.
run build.log cmake --build "$build" -j2 || exit 1
run install.log cmake --install "$build" --prefix "$work/staging" || exit 1
mv staging prefix
prefix=$work/prefix
libdir=$(dirname "$(find "$prefix" -name libvortrel_base.a | head -n 1)")

for file in bin/vortrel include/vortrel/TimelineWidget.h include/vortrel/TimelineControl.h \
  include/vortrel/platform/linux/widget/TimelineWidget.h include/vortrel/control/ITimelineControl.h \
  include/vortrel/ports/OutputProperties.h; do
  [ -f "$prefix/$file" ] || fail "the install lacks $file"
done
for name in widget platform_linux control views resources mediafile model editing ports base; do
  [ -f "$libdir/libvortrel_$name.a" ] || fail "the install lacks libvortrel_$name.a"
done
for file in cmake/Vortrel/VortrelConfig.cmake cmake/Vortrel/VortrelConfigVersion.cmake \
  cmake/Vortrel/VortrelTargets.cmake pkgconfig/vortrel.pc; do
  [ -f "$libdir/$file" ] || fail "the install lacks $(basename "$libdir")/$file"
done
# Only the headers hosts reach, and nothing that names the build or source tree.
[ ! -e "$prefix/include/vortrel/model/TimelineModel.h" ] || fail "internal headers are installed"
if grep -rlF -e "$build" -e "$source/src" "$libdir/cmake" "$libdir/pkgconfig"; then
  fail "the package files name the build or source tree"
fi

run testsrc.log "$prefix/bin/vortrel" testsrc clip.mp4 --seconds 2 --kind video --size 160x120 ||
  exit 1
export QT_QPA_PLATFORM=offscreen

# expect LOG LINE...: the program's output holds exactly these lines among its own.
expect() {
  local log=$1
  shift
  for line in "$@"; do
    grep -qxF -- "$line" "$log" || fail "$log has no line '$line'; it has: $(paste -sd'|' "$log")"
  done
}

# The CMake package, both targets.
if run host-configure.log cmake -S "$source/examples/host" -B host -G "$generator" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" &&
  run host-build.log cmake --build host -j2; then
  run host.log host/vortrel-host --check "$work/clip.mp4"
  expect host.log "clips on video 1: 1" "clip 0: the file, from 0 s to 2 s" "event OnUpdate" \
    "event OnClickClip 1 0"
  grep -qE '^painted [0-9]+x[0-9]+$' host.log || fail "the widget did not paint: $(grep painted host.log)"
  host/vortrel-host --check "$work/missing.mp4" >missing.log 2>&1
  status=$?
  [ "$status" -eq 1 ] || fail "a host given no media exited $status"
  expect missing.log "vortrel-host: no media with a length: $work/missing.mp4"
  run console.log host/vortrel-console clip.mp4 console.png
  expect console.log "clips on video 1: 1" "event OnUpdate" "event OnClickClip 1 0"
  [ -s console.png ] || fail "vortrel-console wrote no picture"
  ! ldd host/vortrel-console | grep -q Qt5Widgets || fail "Vortrel::Control links Qt Widgets"
fi

# pkg-config alone.
mkdir -p pc
export PKG_CONFIG_PATH=$libdir/pkgconfig
includedir=$(pkg-config --variable=includedir vortrel)
[ "$(realpath -m "$includedir")" = "$prefix/include" ] ||
  fail "vortrel.pc names $includedir, not the headers of its own install"
if run pc-build.log make -C pc -f "$source/examples/pkgconfig/Makefile" CXX="$launcher $cxx" \
  CXXFLAGS=-O0; then
  run pc.log pc/vortrel-console clip.mp4 pc.png
  expect pc.log "clips on video 1: 1" "event OnClickClip 1 0"
fi

[ "$failures" -eq 0 ] && echo "package: installed, and both hosts built and ran against it"
exit $((failures > 0))
