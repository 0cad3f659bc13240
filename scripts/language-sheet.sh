#!/usr/bin/env bash
# The contact sheet of the languages: runs the tool under Wine on a 1920x1080 screen (half
# scale) once in each language of data/Update.ini, chosen with /LID: on an English system,
# takes the ready window from a screenshot and lays the windows out in one picture,
# docs/screenshots/languages.png (or the file given).
# Usage: scripts/language-sheet.sh [OUTPUT.png]
#        scripts/language-sheet.sh --shoot BENCH_ENV WORK OUTPUT.png   (a built tree's programs)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=../tests/lib/tool_session.sh
source "$root/tests/lib/tool_session.sh"

# One language id of each section, and the name the sheet gives it.
readonly languages=(
  409:English 407:German 40C:French C0A:Spanish 416:"Portuguese (Brazil)" 816:"Portuguese (Portugal)"
  410:Italian 413:Dutch 415:Polish 41F:Turkish 419:Russian 401:Arabic 40D:Hebrew 411:Japanese
  412:Korean 804:"Chinese (Simplified)" 404:"Chinese (Traditional)"
)

# Inside the bench: WORK holds the tool as it ships; one picture per language in WORK/tiles.
shoot_all() {
  local work=$1 entry id name rect x y w h
  window_probe=$work/window_probe.exe
  mkdir -p "$work/tiles"
  for entry in "${languages[@]}"; do
    id=${entry%%:*} name=${entry#*:}
    tool_lang=en_US.UTF-8 start_tool "$work/app" "/LID:$id"
    if ! wait_window 60000 || ! poll 100 on_screen "$tool_title"; then
      echo "no window for $name" >&2
      return 1
    fi
    # The first frame is composed before the window shows; give the screen one beat.
    sleep 0.5
    rect=$(probe rect "$tool_title")
    read -r x y w h <<<"$rect"
    screenshot "$work/shot.png"
    convert "$work/shot.png" -crop "${w}x${h}+${x}+${y}" +repage -set label "$name (0x$id)" \
      "$work/tiles/$(printf '%02d' "$(find "$work/tiles" -name '*.png' | wc -l)").png"
    probe close "$tool_title" >/dev/null || true
    ended "$tool_pid" || { echo "the $name window did not close" >&2; return 1; }
  done
}

if [[ ${1:-} == --inside ]]; then
  shoot_all "$2"
  exit
fi

if [[ ${1:-} == --shoot ]]; then
  # A built tree's programs (tests/lib/bench_env.sh), nothing built.
  # shellcheck source=../tests/lib/bench_env.sh
  source "$root/tests/lib/bench_env.sh"
  read_bench_env "$2"
  work=$(realpath -m "$3") output=$(realpath -m "$4")
else
  output=$(realpath -m "${1:-$root/docs/screenshots/languages.png}")
  cd "$root"
  cmake --preset windows >/dev/null
  cmake --build --preset windows -j2 --target TbtFwUpdate window_probe >/dev/null
  tool=build/windows/app/win32/TbtFwUpdate.exe window_probe=build/windows/tests/window_probe.exe
  tool_ini=data/Update.ini work=$root/build/language-sheet
fi
rm -rf "$work"
mkdir -p "$work"
lay_out_tool "$work/app" "$tool" "$tool_ini"
cp "$window_probe" "$work/window_probe.exe"
bash "$root/tests/wine/bench.sh" run "$work/prefix" 1920x1080 -- bash "$0" --inside "$work"
mkdir -p "$(dirname "$output")"
# The labels in an installed font by its file: ImageMagick's default font may not be there.
label_font=$(fc-match -f '%{file}' 'Liberation Sans')
montage "$work"/tiles/*.png -tile 4x -geometry +8+8 -font "$label_font" -pointsize 22 -background white "$work/sheet.png"
# A palette of 256 colours keeps the picture small; the windows hold few colours.
convert "$work/sheet.png" -colors 256 "PNG8:$output"
echo "$output"
