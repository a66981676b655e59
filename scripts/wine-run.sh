#!/usr/bin/env bash
# wine-run.sh LOADER win32|win64 PREFIX PROGRAM [ARGS...]: runs a Windows program of the build
# under Wine in a private prefix (made on first use, once, even when several start at the same
# time), quietly, and with the program's exit code. No desktop is needed for programs without
# windows; window tests give a DISPLAY (Xvfb) themselves.
set -euo pipefail
loader=${1:?usage: wine-run.sh LOADER win32|win64 PREFIX PROGRAM [ARGS...]}
arch=${2:?}
prefix=${3:?}
shift 3
# Programs with a display get a prefix of their own: a Wine session started without one keeps
# its display-less desktop for the next few seconds, and a window test starting then could
# make no windows.
if [ -n "${DISPLAY:-}" ]; then
  prefix=$prefix-display
fi

export WINEPREFIX=$prefix WINEARCH=$arch
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ ! -f "$prefix/.vortrel-ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/.vortrel-ready" ]; then
      "$loader" wineboot --init >/dev/null 2>&1 || true
      server=$(dirname "$loader")/wineserver
      [ -x "$server" ] || server=wineserver
      "$server" -w 2>/dev/null || true
      [ -f "$prefix/system.reg" ] || { echo "wine-run: could not make the Wine prefix $prefix" >&2; exit 1; }
      touch "$prefix/.vortrel-ready"
    fi
  ) 9>"$prefix.lock"
fi

exec "$loader" "$@"
