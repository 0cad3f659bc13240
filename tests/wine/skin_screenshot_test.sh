#!/usr/bin/env bash
# Shows the skinned window on the bench's display, photographs the screen into
# SCREENSHOT (kept as the test's artifact) and checks what is where.
#   skin_screenshot_test.sh SHOWCASE.exe SCREENSHOT EMULATOR...
set -euo pipefail
showcase=$1
shot=$2
shift 2
work=$(mktemp -d)
ready="$work/ready"
quit="$work/quit"

"$@" "$showcase" "$ready" "$quit" &
pid=$!
# Whatever happens, the showcase does not outlive the test.
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

# The window reports its rectangle once its first frame is on screen (bounded wait).
for _ in $(seq 600); do
  [[ -s "$ready" ]] && break
  kill -0 "$pid" 2>/dev/null || { echo "showcase ended early" >&2; exit 1; }
  sleep 0.1
done
[[ -s "$ready" ]] || { echo "no window within 60 s" >&2; exit 1; }
read -r left top right bottom < <(tr -d '\r' <"$ready")
width=$((right - left))
height=$((bottom - top))

pixel() { convert "$shot" -format "%[fx:int(255*p{$1,$2}.r)] %[fx:int(255*p{$1,$2}.g)] %[fx:int(255*p{$1,$2}.b)]" info:; }
is_teal() { local r g b; read -r r g b <<<"$(pixel "$1" "$2")"; ((g > 100 && b > 90 && r < 60)); }
is_light() { local r g b; read -r r g b <<<"$(pixel "$1" "$2")"; ((r > 200 && g > 200 && b > 200)); }

# Photograph until the frame shows (the display may lag the window a little); bounded.
shown=0
for _ in $(seq 50); do
  import -display "$DISPLAY" -window root "$shot"
  if is_teal $((left + width * 3 / 4)) $((top + height / 20)); then shown=1; break; fi  # title band
  sleep 0.2
done
touch "$quit"
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || { echo "showcase failed" >&2; exit 1; }

fail=0
check() {  # what, predicate, x, y
  if ! "$2" "$3" "$4"; then echo "FAIL: $1 at $3,$4: $(pixel "$3" "$4")" >&2; fail=1; fi
}
((shown)) || { echo "FAIL: the title band never appeared" >&2; exit 1; }
# Half scale up to a 1920 x 1080 desktop, design size above; positions are design ones.
case "${width}x${height}" in
  780x620) half=2 ;;
  1560x1240) half=1 ;;
  *) echo "FAIL: window ${width}x${height}, want 780x620 or 1560x1240" >&2; exit 1 ;;
esac
at() { echo $((left + $1 / half)) $((top + $2 / half)); }
check "title band" is_teal $(at 1170 62)
check "body" is_light $(at 780 1116)
check "Update button" is_teal $(at 1156 1119)
check "message panel" is_light $(at 1400 400)
# The title's text is white on teal somewhere along its line.
title_white=0
for x in $(seq 240 4 960); do
  if is_light $(at "$x" 120); then title_white=1; break; fi
done
((title_white)) || { echo "FAIL: no title text" >&2; fail=1; }
exit "$fail"
