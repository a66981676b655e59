#!/usr/bin/env bash
# test-windows.sh: configures, builds and tests the Windows builds under Wine: win64 always,
# win32 where this machine runs 32-bit Windows programs (a tiny i386 program is tried under
# `wine` first; some kernels here cannot execute i386 code at all). Prints which builds were
# exercised. JOBS sets the build's parallelism (default 2).
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}

probe_dir=build/wine-probe
mkdir -p "$probe_dir"
presets=(win64)
why32=""
if [ ! -x /usr/lib/wine/wine ]; then
  why32="wine32 is not installed"
elif ! printf 'int main(void) { return 7; }\n' >"$probe_dir/probe.c" ||
     ! i686-w64-mingw32-gcc -o "$probe_dir/probe32.exe" "$probe_dir/probe.c" 2>/dev/null; then
  why32="the i686 cross compiler is missing"
else
  bash scripts/wine-run.sh /usr/lib/wine/wine win32 "$PWD/build/win32/wineprefix" \
    "$probe_dir/probe32.exe" >/dev/null 2>&1
  rc=$?
  if [ "$rc" -eq 7 ]; then
    presets+=(win32)
  else
    why32="a 32-bit program does not run under wine here (exit $rc)"
  fi
fi

status=0
exercised=()
for preset in "${presets[@]}"; do
  echo "== Windows build $preset"
  started=$(date +%s)
  if cmake --preset "$preset" >"build/$preset-configure.log" 2>&1 ||
       { cat "build/$preset-configure.log"; false; }; then
    if nice -n 10 cmake --build --preset "$preset" -j "$jobs" &&
       ctest --preset "$preset"; then
      exercised+=("$preset ($(($(date +%s) - started)) s)")
      continue
    fi
  fi
  status=1
  exercised+=("$preset FAILED")
done

echo "Windows builds exercised: ${exercised[*]}${why32:+; win32 not exercised: $why32}"
exit $status
