#!/usr/bin/env bash
# The dependency map: each folder includes only the folders of ours and the platform headers
# that scripts/dependency-map.txt allows it, so the layers point one way and portable code
# reaches the platform only through its ports. Prints each offending include; exit 1 if any.
set -u
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

# Platform headers by group (the name between the angle brackets, lower-cased for windows).
declare -A groups=(
  [std]='^[a-z_0-9]+$|^(assert|ctype|errno|float|limits|math|stddef|stdint|stdio|stdlib|string|time|wchar)\.h$'
  [tinyxml2]='^tinyxml2\.h$'
  [ffmpeg]='^lib(av|sw)[a-z]*/'
  [mlt]='^(mlt|mlt\+\+|framework)/'
  [qt]='^Q[A-Za-z]*$|^Qt[A-Za-z]*/'
  [xcb]='^(xcb|X11)/'
  [sdl]='^SDL'
  [posix]='^(unistd|fcntl|glob|poll|signal|spawn|dirent|dlfcn|pthread)\.h$|^sys/'
  [wincrt]='^(io|process|share)\.h$'
  [windows]='^(windows|ole2|objbase|oleauto|ocidl|olectl|oleidl|objidl|shellapi|unknwn|initguid|dshow|qedit|strmif|amvideo|mmreg|wmsdkidl|gdiplus|wingdi|winuser|commctrl|shlwapi|atlbase)\.h$'
  [comgen]='^VortrelLib\.h$'
  [cli11]='^CLI/'
  [gtest]='^(gtest|gmock)/'
  [benchmark]='^benchmark/'
)

declare -A ours platform
folders=()
while IFS='|' read -r folder allowed headers; do
  folder=${folder//[[:space:]]/}
  [[ -z "$folder" || "$folder" == \#* ]] && continue
  ours[$folder]=" $(echo $allowed) "
  platform[$folder]=$(echo $headers)
  folders+=("$folder")
done < scripts/dependency-map.txt

# The map folder that holds a path: the longest that is a prefix of it.
folder_of() {
  local best="" f
  for f in "${folders[@]}"; do
    if [[ "$1" == "$f/"* && ${#f} -gt ${#best} ]]; then best=$f; fi
  done
  printf '%s' "$best"
}

status=0
fail() { printf '%s:%s: %s\n' "$1" "$2" "$3"; status=1; }

while IFS= read -r file; do
  home=$(folder_of "$file")
  if [ -z "$home" ]; then
    fail "$file" 0 "is in no folder of the dependency map"
    continue
  fi
  dir=$(dirname "$file")
  while IFS=: read -r line kind name; do
    if [ "$kind" = q ]; then
      target=""
      for candidate in "src/$name" "$dir/$name" "$home/$name" "tests/$name" "tools/vortrel/$name" "tools/script/$name" "tools/$name"; do
        [ -f "$candidate" ] && { target=$candidate; break; }
      done
      if [ -z "$target" ]; then
        fail "$file" "$line" "includes \"$name\", which is no file of ours"
        continue
      fi
      layer=$(folder_of "$target")
      layer=${layer#src/}
      [[ "${ours[$home]}" == *" $layer "* ]] ||
        fail "$file" "$line" "includes \"$name\" from $layer, which $home may not use"
    else
      [[ "$name" =~ ${groups[std]} ]] && continue
      ok=0
      lower=${name,,}
      for group in ${platform[$home]}; do
        [ "$group" = - ] && continue
        if [[ "$name" =~ ${groups[$group]} || ( "$group" = windows && "$lower" =~ ${groups[$group]} ) ]]; then
          ok=1
          break
        fi
      done
      [ "$ok" -eq 1 ] || fail "$file" "$line" "includes <$name>, a platform header $home may not use"
    fi
  done < <(grep -n -E '^\s*#\s*include\s*[<"]' "$file" |
             sed -E 's/^([0-9]+):\s*#\s*include\s*"([^"]+)".*/\1:q:\2/; s/^([0-9]+):\s*#\s*include\s*<([^>]+)>.*/\1:a:\2/')
done < <(find src tools tests bench include -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) | sort)

[ "$status" -eq 0 ] && echo "dependencies: every include is allowed by the dependency map"
exit "$status"
