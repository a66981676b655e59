#!/usr/bin/env bash
# debian-source.sh PACKAGE CACHE_DIR: unpacks Debian's own source package PACKAGE into
# CACHE_DIR (once; later calls find it there) and prints the unpacked folder.
# The source comes from the machine's own archive: when apt knows no deb-src entry, one is
# added with the same URIs, suites and components as the main archive's deb entry (in the
# one-line sources.list format or the deb822 debian.sources format, whichever it uses).
set -euo pipefail

package=${1:?usage: debian-source.sh PACKAGE CACHE_DIR}
cache=${2:?usage: debian-source.sh PACKAGE CACHE_DIR}
mkdir -p "$cache"
cache=$(cd "$cache" && pwd)

found() { find "$cache" -mindepth 1 -maxdepth 1 -type d -name "$package-*" | sort | tail -n 1; }

dir=$(found)
if [ -n "$dir" ] && [ -f "$dir/.unpacked" ]; then
  echo "$dir"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi

has_deb_src() {
  grep -qsE '^[[:space:]]*deb-src[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list && return 0
  grep -qsE '^[[:space:]]*Types:.*deb-src' /etc/apt/sources.list.d/*.sources && return 0
  return 1
}

if ! has_deb_src; then
  added=/etc/apt/sources.list.d/vortrel-deb-src
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # deb822: copy every stanza of type deb as the same stanza of type deb-src.
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
         /(^|\n)Types:[^\n]*deb([ \t\n]|$)/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' \
      /etc/apt/sources.list.d/debian.sources | $sudo tee "$added.sources" >/dev/null
  else
    # one-line format: every deb line of the main list again as deb-src.
    grep -hE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list |
      sed -E 's/^[[:space:]]*deb[[:space:]]/deb-src /' | $sudo tee "$added.list" >/dev/null
  fi
  echo "debian-source: added deb-src entries ($added.*); updating the package lists" >&2
  $sudo apt-get update -qq >&2
fi

fetch() { (cd "$cache" && apt-get source -qq --download-only "$package" >&2); }
# A deb-src entry whose package lists were never fetched needs one update first.
fetch || { $sudo apt-get update -qq >&2 && fetch; } ||
  { echo "debian-source: could not fetch the source package $package" >&2; exit 1; }
(cd "$cache" && dpkg-source -x --no-check "$(ls -t "$package"_*.dsc | head -n 1)" >&2) ||
  { echo "debian-source: could not unpack the source package $package" >&2; exit 1; }
dir=$(found)
touch "$dir/.unpacked"
echo "$dir"
