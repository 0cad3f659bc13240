#!/usr/bin/env bash
# The tool's scenarios on one screen; run inside the Wine bench (DISPLAY and WINEPREFIX set).
# Usage: tool_scenarios.sh WIDTHxHEIGHT WORK_DIR PROBE_EXE CHECK_EXE SHOTS_DIR
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
size=$1 work=$2 probe=$3 check=$4 shots=$5
title="Vanto Thunderbolt Firmware Update Tool"
cd "$work" || exit 1
passed=0 failed=0 tool_pid=

probe() { wine "$probe" "$@" 2>/dev/null | tr -d '\r'; }
text() { wine "$check" text --ini data/Update.ini --lang "$1" "$2" 2>/dev/null | tr -d '\r'; }
control() { probe list "$title" | grep "^id=$1 "; }  # "id=N visible=V enabled=E text=T"
# shellcheck source=x_input.sh
source "$here/x_input.sh"

expect() {  # NAME EXPECTED ACTUAL
  if [[ "$2" == "$3" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL [%s] %s\n  expected: %s\n  actual:   %s\n' "$size" "$1" "$2" "$3"
  fi
}

start_tool() {  # LANG ARGS...
  local lang=$1
  shift
  LANG=$lang LC_ALL=$lang wine TbtFwUpdate.exe "$@" >/dev/null 2>&1 &
  tool_pid=$!
  if ! probe wait "$title" 60000 >/dev/null; then
    expect "window appears ($*)" yes no
    return 1
  fi
  # The first frame is composed before the window shows; give the screen one beat.
  sleep 0.5
}

# The process ends within ten seconds of the request.
expect_exit() {  # NAME
  local i
  for i in $(seq 1 100); do
    kill -0 "$tool_pid" 2>/dev/null || { expect "$1" ended ended; return; }
    sleep 0.1
  done
  expect "$1" ended running
  kill "$tool_pid" 2>/dev/null
}

shot() { import -window root "$shots/$1-$size.png" 2>/dev/null; }

width=${size%x*} height=${size#*x}
if [[ $width -gt 1920 || $height -gt 1080 ]]; then w=1560 h=1240; else w=780 h=620; fi
rect="$(( (width - w) / 2 )) $(( (height - h) / 2 )) $w $h"

# Ready, in the system's language (English here): size, place, controls and texts.
start_tool en_US.UTF-8 && {
  expect "window size and place" "$rect" "$(probe rect "$title")"
  expect "Update shown and enabled" "id=1003 visible=1 enabled=1 text=$(text 409 IDS_UPDATE)" "$(control 1003)"
  expect "Exit hidden" "id=1 visible=0" "$(control 1 | cut -d' ' -f1-2)"
  expect "shut down now hidden" "id=1007 visible=0" "$(control 1007 | cut -d' ' -f1-2)"
  expect "caution hidden" "id=1005 visible=0" "$(control 1005 | cut -d' ' -f1-2)"
  expect "prompt" "id=1004 visible=1 enabled=1 text=$(text 409 IDS_PROMPT)" "$(control 1004)"
  shot ready-en
  press "$title" Escape || expect "Escape pressed" yes no
  expect_exit "Escape ends the process"
}

# Japanese texts with /LID:, on a Japanese system for its fonts; Close ends the process.
start_tool ja_JP.UTF-8 /LID:411 && {
  expect "Japanese Update" "id=1003 visible=1 enabled=1 text=$(text 411 IDS_UPDATE)" "$(control 1003)"
  expect "Japanese prompt" "id=1004 visible=1 enabled=1 text=$(text 411 IDS_PROMPT)" "$(control 1004)"
  shot ready-ja
  click "$title" 2 || expect "Close clicked" yes no
  expect_exit "Close ends the process"
}

# Chinese, for a look at its fonts.
start_tool zh_TW.UTF-8 /lid:404 && {
  expect "Traditional Chinese prompt" "id=1004 visible=1 enabled=1 text=$(text 404 IDS_PROMPT)" "$(control 1004)"
  shot ready-zh
  probe close "$title" || expect "WM_CLOSE sent" yes no
  expect_exit "WM_CLOSE ends the process"
}

# Update where no ACPI driver exists: the message at once, Exit in Update's place.
start_tool en_US.UTF-8 /LID:40C && {
  expect "French Update" "id=1003 visible=1 enabled=1 text=$(text 40C IDS_UPDATE)" "$(control 1003)"
  click "$title" 1003 || expect "Update clicked" yes no
  # Enabling Close is the last step of the refusal.
  for i in $(seq 1 50); do [[ "$(control 1)" == "id=1 visible=1"* && "$(control 2)" == "id=2 visible=1 enabled=1"* ]] && break; sleep 0.1; done
  expect "device missing message" "id=1004 visible=1 enabled=1 text=$(text 40C IDS_FIND_NO_HVK)" "$(control 1004)"
  expect "Update hidden" "id=1003 visible=0 enabled=0" "$(control 1003 | cut -d' ' -f1-3)"
  expect "Exit shown and enabled" "id=1 visible=1 enabled=1 text=$(text 40C IDS_EXIT)" "$(control 1)"
  expect "Close enabled" "id=2 visible=1 enabled=1" "$(control 2 | cut -d' ' -f1-3)"
  expect "illustration hidden" "id=1001 visible=0" "$(control 1001 | cut -d' ' -f1-2)"
  shot no-driver-fr
  # A display change that keeps the scale hides and shows the window and changes nothing.
  probe display "$title" || expect "display change sent" yes no
  expect "shown again after a display change" "1" "$(probe shown "$title")"
  expect "Exit stays after a display change" "id=1 visible=1 enabled=1" "$(control 1 | cut -d' ' -f1-3)"
  expect "message stays after a display change" "id=1004 visible=1 enabled=1 text=$(text 40C IDS_FIND_NO_HVK)" "$(control 1004)"
  click "$title" 1 || expect "Exit clicked" yes no
  expect_exit "Exit ends the process"
}

echo "[$size] $passed passed, $failed failed"
[[ $failed -eq 0 ]]
