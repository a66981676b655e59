#!/usr/bin/env bash
# Portable code reaches the platform only through its ports: no Qt, MLT, FFmpeg, X11 or Windows
# header may be included outside the platform back ends. Prints each offending line.
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

portable=(src/model src/engine src/views src/graphics src/control)
backends='^src/(engine/mlt|graphics/qt|graphics/gdi|control/qt|control/com)/'
forbidden='^\s*#\s*include\s*[<"](Q[A-Z][A-Za-z]*|Qt[A-Za-z]*/|mlt|Mlt|framework/mlt|libav|libsw|[Ww]indows\.h|ole2\.h|objbase\.h|dshow\.h|qedit\.h|[Gg]diplus|xcb/|X11/|SDL)'

status=0
for dir in "${portable[@]}"; do
  [ -d "$dir" ] || continue
  while IFS= read -r file; do
    [[ "$file" =~ $backends ]] && continue
    if hits=$(grep -n -E "$forbidden" "$file"); then
      printf '%s: platform header in portable code:\n%s\n' "$file" "$hits"
      status=1
    fi
  done < <(find "$dir" -type f \( -name '*.h' -o -name '*.cpp' \))
done
[ "$status" -eq 0 ] && echo "layering: portable code includes no platform header"
exit "$status"
