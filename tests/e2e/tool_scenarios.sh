#!/usr/bin/env bash
# The tool's scenarios on one screen; run inside the Wine bench (DISPLAY and WINEPREFIX set).
# Usage: tool_scenarios.sh WIDTHxHEIGHT APP_DIR PROBE_EXE SHOTS_DIR
# APP_DIR holds the tool laid out as it ships.
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
size=$1 app=$2 window_probe=$3 shots=$4
# shellcheck source=../lib/tool_session.sh
source "$here/../lib/tool_session.sh"
passed=0 failed=0

# LANG ARGS...: the tool started on a system in language LANG; false when its window does
# not appear.
open_tool() {
  tool_lang=$1 start_tool "$app" "${@:2}"
  if ! wait_window 60000; then
    expect "$size" "window appears (${*:2})" yes no
    return 1
  fi
  # The first frame is composed before the window shows; give the screen one beat.
  sleep 0.5
}

# The process ends within ten seconds of the request.
expect_exit() {  # NAME
  expect "$size" "$1" ended "$(ended "$tool_pid" && echo ended || echo running)"
}

shot() { screenshot "$shots/$1-$size.png"; }
# ID [FIELDS]: the first FIELDS words of control ID's state (all of it by default).
state() { control "$1" | cut -d' ' -f"1-${2:-}"; }

# FILE X Y W H: "LEFT RIGHT", the blank columns left and right of the ink of the last line
# of dark text inside that rectangle of the screenshot FILE; false when it holds no text.
last_line_margins() {
  local file=$1 x=$2 y=$3 w=$4 h=$5 rows=() first last box
  local ink=(convert "$file" -crop "${w}x${h}+${x}+${y}" +repage -colorspace gray -threshold 50% -negate)
  # One column whose pixels are the rows' shares of ink: the rows that hold text.
  mapfile -t rows < <("${ink[@]}" -scale "1x${h}!" -depth 8 txt:- | sed -n 's/^0,\([0-9]*\):.*gray(\([1-9][0-9]*\)).*/\1/p')
  ((${#rows[@]})) || return 1
  # The last line: the run of rows with ink that ends at the lowest one.
  last=${rows[-1]} first=$last
  for ((i = ${#rows[@]} - 2; i >= 0 && rows[i] == first - 1; i--)); do first=${rows[i]}; done
  box=$("${ink[@]}" -crop "${w}x$((last - first + 1))+0+${first}" +repage -format '%@' info:) || return 1
  [[ $box =~ ^([0-9]+)x[0-9]+\+([0-9]+)\+ ]] || return 1
  echo "${BASH_REMATCH[2]} $((w - BASH_REMATCH[2] - BASH_REMATCH[1]))"
}

# LEFT RIGHT: "left" or "right", the edge a line of text is set against (the near margin
# only the layout's padding, the far one clearly wider), "neither" otherwise.
flush_side() {
  if (($1 <= 10 && $2 >= 20)); then echo left; elif (($2 <= 10 && $1 >= 20)); then echo right; else echo "neither ($1 $2)"; fi
}

# NAME: the edge the last line of the message panel is set against, on the screenshot
# ready-NAME.
message_side() {
  local rect margins
  rect=$(probe rect "$tool_title" "$id_message") || return 1
  shot "ready-$1"
  # shellcheck disable=SC2086  # the rectangle's four numbers
  margins=$(last_line_margins "$shots/ready-$1-$size.png" $rect) || { echo "no text"; return 0; }
  # shellcheck disable=SC2086
  flush_side $margins
}

# What a screen reader reads of the ready window.
check_accessible() {
  local list
  list=$(msaa read "$tool_title")
  expect "$size" "window's accessible name" "window name=$tool_title" "$(head -n 1 <<<"$list")"
  expect "$size" "Update as a screen reader reads it" \
    "role=$role_push_button state=0x100004 action=Press name=$(expected_text 409 IDS_UPDATE)" "$(accessible "$id_update")"
  expect "$size" "Close as a screen reader reads it" \
    "role=$role_push_button state=$state_focusable action=Press name=$(expected_text 409 IDS_CLOSE)" "$(accessible "$id_close")"
  expect "$size" "hidden Exit is invisible" "role=$role_push_button state=$state_invisible" "$(accessible "$id_exit" | cut -d' ' -f1-2)"
  expect "$size" "prompt as static text" "role=$role_static_text state=0x40 action= name=$(expected_text 409 IDS_PROMPT)" \
    "$(accessible "$id_message")"
  expect "$size" "illustration as an unnamed graphic" "role=$role_graphic state=0x40 action= name=" "$(accessible "$id_illustration")"
  expect "$size" "title as static text" "role=$role_static_text state=0x40 action= name=$(expected_text 409 IDS_TITLE)" \
    "$(accessible "$id_title")"
  expect "$size" "subtitle as static text" \
    "role=$role_static_text state=0x40 action= name=$(expected_text 409 IDS_SUBTITLE)" "$(accessible "$id_subtitle")"
  expect "$size" "hidden busy indicator named" "role=$role_animation state=0x8040 action= name=$(expected_text 409 IDS_BUSY)" \
    "$(accessible "$id_spinner")"
}

# ID: "X Y W H", where the accessible object of the control with the keyboard focus says
# it is on the screen, found as an outside program finds it (the system's focus window of
# the tool's thread); false unless that control is ID.
focus_place() {
  local answer
  answer=$(msaa focus "$tool_title") || return 1
  [[ $answer =~ ^id=$1\ (-?[0-9]+\ -?[0-9]+\ [0-9]+\ [0-9]+)$ ]] || return 1
  echo "${BASH_REMATCH[1]}"
}

# SCREEN X Y W H OUT: that place with the 6 pixels around it, cut from the screenshot
# SCREEN into OUT.
cut_around() {
  convert "$1" -crop "$(($4 + 12))x$(($5 + 12))+$(($2 - 6))+$(($3 - 6))" +repage "$6"
}

# DIR N ID: Tab pressed with the X screen taken before it and after it, as a screen recorder
# sees the window; true once the focus is on ID and the pixels of ID's accessible place and
# the 6 around it differ from before. Leaves DIR/N-before.png, DIR/N-after.png (the cuts),
# DIR/N-screen-before.png and DIR/N-place (ID's place). Each wait has a bound of 2 s.
tab_shows_focus() {
  local dir=$1 n=$2 id=$3 place="" try
  import -window root "$dir/$n-screen-before.png" || return 1
  press Tab || return 1
  for ((try = 0; try < 20; try++)); do
    if place=$(focus_place "$id"); then break; fi
    sleep 0.1
  done
  [[ -n $place ]] || return 1
  echo "$place" >"$dir/$n-place"
  # shellcheck disable=SC2086  # the place's four numbers
  cut_around "$dir/$n-screen-before.png" $place "$dir/$n-before.png" || return 1
  for ((try = 0; try < 20; try++)); do
    import -window root "$dir/$n-screen-after.png" || return 1
    # shellcheck disable=SC2086
    cut_around "$dir/$n-screen-after.png" $place "$dir/$n-after.png" || return 1
    pictures_differ "$dir/$n-before.png" "$dir/$n-after.png" && return 0
    sleep 0.1
  done
  return 1
}

# The keyboard, seen from outside: the focus on Update at the start; each Tab lands on the
# next button, and the screen changes where that button's accessible object says it is
# (with 6 pixels around it, where the ring goes). CUES names the prefix's keyboard cues:
# "on" (Wine's default: rings always) or "off" (a new Windows: none until a key is used).
check_keyboard() {  # CUES
  local cues=$1 dir
  dir=$(mktemp -d)
  expect "$size" "[$cues] initial focus on Update" yes "$(focus_place "$id_update" >/dev/null && echo yes || echo no)"
  expect "$size" "[$cues] Tab: the screen shows the focus on Close" yes \
    "$(tab_shows_focus "$dir" 1 "$id_close" && echo yes || echo no)"
  expect "$size" "[$cues] Tab: the screen shows the focus back on Update" yes \
    "$(tab_shows_focus "$dir" 2 "$id_update" && echo yes || echo no)"
  # The ring left Close: its place is as it was before the first Tab (compare's exit 0:
  # the same pixels; a missing picture is no match).
  local place=""
  [[ -s $dir/1-place ]] && place=$(<"$dir/1-place")
  # shellcheck disable=SC2086  # the place's four numbers
  expect "$size" "[$cues] Close loses the ring" same \
    "$([[ -n $place && -s $dir/2-screen-after.png ]] && cut_around "$dir/2-screen-after.png" $place "$dir/close-after.png" &&
      compare -metric AE "$dir/1-before.png" "$dir/close-after.png" null: 2>/dev/null && echo same || echo differs)"
  [[ $cues == on && -e $dir/2-after.png ]] && cp "$dir/2-after.png" "$shots/focus-update-$size.png"
  rm -rf "$dir"
}

width=${size%x*} height=${size#*x}
if [[ $width -gt 1920 || $height -gt 1080 ]]; then w=1560 h=1240; else w=780 h=620; fi
rect="$(( (width - w) / 2 )) $(( (height - h) / 2 )) $w $h"

# Ready, in the system's language (English here): size, place, controls and texts.
open_tool en_US.UTF-8 && {
  expect "$size" "window size and place" "$rect" "$(probe rect "$tool_title")"
  expect "$size" "Update shown and enabled" "id=$id_update visible=1 enabled=1 text=$(expected_text 409 IDS_UPDATE)" "$(state "$id_update")"
  expect "$size" "Exit hidden" "id=$id_exit visible=0" "$(state "$id_exit" 2)"
  expect "$size" "shut down now hidden" "id=$id_shutdown_now visible=0" "$(state "$id_shutdown_now" 2)"
  expect "$size" "caution hidden" "id=$id_caution visible=0" "$(state "$id_caution" 2)"
  expect "$size" "prompt" "id=$id_message visible=1 enabled=1 text=$(expected_text 409 IDS_PROMPT)" "$(state "$id_message")"
  expect "$size" "English message flush left" left "$(message_side en)"
  check_accessible
  check_keyboard on
  press Escape || expect "$size" "Escape pressed" yes no
  expect_exit "Escape ends the process"
}

# Japanese texts with /LID:, on a Japanese system for its fonts; Close ends the process.
open_tool ja_JP.UTF-8 /LID:411 && {
  expect "$size" "Japanese Update" "id=$id_update visible=1 enabled=1 text=$(expected_text 411 IDS_UPDATE)" "$(state "$id_update")"
  expect "$size" "Japanese prompt" "id=$id_message visible=1 enabled=1 text=$(expected_text 411 IDS_PROMPT)" "$(state "$id_message")"
  expect "$size" "Japanese title" "id=$id_title visible=1 enabled=1 text=$(expected_text 411 IDS_TITLE)" "$(state "$id_title")"
  expect "$size" "the window's title in Japanese" 1 "$(probe count "$(expected_text 411 IDS_TITLE)")"
  expect "$size" "Japanese subtitle" "id=$id_subtitle visible=1 enabled=1 text=$(expected_text 411 IDS_SUBTITLE)" \
    "$(state "$id_subtitle")"
  shot ready-ja
  click "$id_close" || expect "$size" "Close clicked" yes no
  expect_exit "Close ends the process"
}

# Chinese, for a look at its fonts.
open_tool zh_TW.UTF-8 /lid:404 && {
  expect "$size" "Traditional Chinese prompt" "id=$id_message visible=1 enabled=1 text=$(expected_text 404 IDS_PROMPT)" "$(state "$id_message")"
  shot ready-zh
  probe close "$tool_title" || expect "$size" "WM_CLOSE sent" yes no
  expect_exit "WM_CLOSE ends the process"
}

# Arabic and Hebrew read right to left: the message's last line ends at the panel's right
# edge, on an English system (their texts bring their own faces).
for language in 401:ar 40D:he; do
  open_tool en_US.UTF-8 "/LID:${language%:*}" && {
    expect "$size" "${language#*:} message flush right" right "$(message_side "${language#*:}")"
    if [[ $language == 401:ar ]]; then
      expect "$size" "Arabic title" "id=$id_title visible=1 enabled=1 text=$(expected_text 401 IDS_TITLE)" "$(state "$id_title")"
      expect "$size" "the window's title in Arabic" 1 "$(probe count "$(expected_text 401 IDS_TITLE)")"
    fi
    probe close "$tool_title" || expect "$size" "WM_CLOSE sent" yes no
    expect_exit "WM_CLOSE ends the process"
  }
done

# Update where no ACPI driver exists: the message at once, Exit in Update's place, and the
# log saying why the device could not be opened.
refused() { shown "$id_exit" && usable "$id_close"; }
rm -f "$app/run.log"
open_tool en_US.UTF-8 /LID:40C /log:run.log && {
  expect "$size" "French Update" "id=$id_update visible=1 enabled=1 text=$(expected_text 40C IDS_UPDATE)" "$(state "$id_update")"
  click "$id_update" || expect "$size" "Update clicked" yes no
  # Enabling Close is the last step of the refusal.
  poll 50 refused
  expect "$size" "device missing message" "id=$id_message visible=1 enabled=1 text=$(expected_text 40C IDS_FIND_NO_HVK)" "$(state "$id_message")"
  expect "$size" "Update hidden" "id=$id_update visible=0 enabled=0" "$(state "$id_update" 3)"
  expect "$size" "Exit shown and enabled" "id=$id_exit visible=1 enabled=1 text=$(expected_text 40C IDS_EXIT)" "$(state "$id_exit")"
  expect "$size" "Close enabled" "id=$id_close visible=1 enabled=1" "$(state "$id_close" 3)"
  expect "$size" "illustration hidden" "id=$id_illustration visible=0" "$(state "$id_illustration" 2)"
  shot no-driver-fr
  # A display change that keeps the scale hides and shows the window and changes nothing.
  probe display "$tool_title" || expect "$size" "display change sent" yes no
  expect "$size" "shown again after a display change" "1" "$(probe shown "$tool_title")"
  expect "$size" "Exit stays after a display change" "id=$id_exit visible=1 enabled=1" "$(state "$id_exit" 3)"
  expect "$size" "message stays after a display change" "id=$id_message visible=1 enabled=1 text=$(expected_text 40C IDS_FIND_NO_HVK)" "$(state "$id_message")"
  click "$id_exit" || expect "$size" "Exit clicked" yes no
  expect_exit "Exit ends the process"
  expect "$size" "the log gives the system's reason" "ACPI device: CreateFileW failed, system error 0x00000002" \
    "$(grep -ao 'ACPI device: .*' "$app/run.log" | tr -d '\r')"
}

# FILE: the share, per mille, of the window's pixels in the screenshot FILE whose colour is
# none of the system colours a high-contrast window is drawn in (text edges blend them).
off_scheme_share() {
  local x y w h scheme
  read -r x y w h < <(probe rect "$tool_title") || return 1
  scheme=$(msaa scheme | paste -sd' ') || return 1
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -format %c histogram:info:- |
    awk -v scheme="$scheme" '
      BEGIN { n = split(scheme, s, " "); for (i = 1; i <= n; i++) want[s[i]] = 1 }
      match($0, /#[0-9A-F]{6}/) { count = $1 + 0; total += count; if (!(substr($0, RSTART, 7) in want)) off += count }
      END { printf "%d\n", total ? off * 1000 / total : 1000 }'
}

# Keyboard cues off, as on a new Windows: the first Tab shows the cues, from outside too.
# Turned on again afterwards, as Wine's prefixes have them.
if msaa keyboard-cues off >/dev/null; then
  open_tool en_US.UTF-8 && {
    check_keyboard off
    probe close "$tool_title" || expect "$size" "WM_CLOSE sent" yes no
    expect_exit "WM_CLOSE ends the process"
  }
  msaa keyboard-cues on >/dev/null || expect "$size" "keyboard cues turned on again" yes no
else
  echo "SKIP [$size] keyboard cues cannot be turned off in this prefix"
fi

# High contrast on before the start: the same window in the system's colours alone. The
# prefix is left as it was found.
if msaa high-contrast on >/dev/null; then
  open_tool en_US.UTF-8 && {
    shot high-contrast
    share=$(off_scheme_share "$shots/high-contrast-$size.png")
    expect "$size" "high contrast: the scheme's colours alone (off-scheme per mille <= 30: $share)" yes \
      "$( ((share <= 30)) && echo yes || echo no)"
    expect "$size" "high contrast: Update still named" "role=$role_push_button" "$(accessible "$id_update" | cut -d' ' -f1)"
    probe close "$tool_title" || expect "$size" "WM_CLOSE sent" yes no
    expect_exit "WM_CLOSE ends the process"
  }
  msaa high-contrast off >/dev/null || expect "$size" "high contrast turned off again" yes no
else
  echo "SKIP [$size] high contrast cannot be turned on in this prefix"
fi

checks_summary "$size"
