#!/usr/bin/env bash
# The unmodified TbtFwUpdate.exe updating the emulated controller, one case after another
# in one prefix; run inside the Wine bench (DISPLAY and WINEPREFIX set).
# The tool runs under exit_code_probe, which reads its exit code in full.
# Usage: tool_emulated_cases.sh WORK TOOL PROBE ANSWERS CHECK SAMPLES COMPONENTS INI SHOTS EXIT_PROBE CASE...
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
work=$1 tool=$2 probe=$3 answers=$4 check=$5 samples=$6 components=$7 ini=$8 shots=$9 exit_probe=${10}
shift 10
# shellcheck source=scenario_case.sh
source "$here/scenario_case.sh"
# shellcheck source=../e2e/x_input.sh
source "$here/../e2e/x_input.sh"
title="Vanto Thunderbolt Firmware Update Tool"
passed=0 failed=0

probe() { wine "$probe" "$@" 2>/dev/null | tr -d '\r'; }
control() { probe list "$title" | grep "^id=$1 "; }  # "id=N visible=V enabled=E text=T"
shown() { [[ "$(control "$1")" == "id=$1 visible=1"* ]]; }
message() { wine "$check" message --ini "$ini" --lang 409 "$1" 2>/dev/null | tr -d '\r'; }
shot() { import -window root "$shots/emulated-$1.png" 2>/dev/null; }

# While the worker runs: the busy indicator shows and its frames change, and the window
# answers messages.
check_busy() {
  local name=$1 i
  for i in $(seq 1 50); do shown 1006 && break; sleep 0.1; done
  expect "$name" "busy indicator shown" yes "$(shown 1006 && echo yes || echo no)"
  import -window root "$work/$name-busy-0.png" 2>/dev/null
  local changed=no
  for i in $(seq 1 20); do
    import -window root "$work/$name-busy-1.png" 2>/dev/null
    if ! compare -metric AE "$work/$name-busy-0.png" "$work/$name-busy-1.png" null: 2>/dev/null; then
      changed=yes
      break
    fi
    sleep 0.1
  done
  expect "$name" "busy indicator frames advance" yes "$changed"
  cp "$work/$name-busy-1.png" "$shots/emulated-$name-busy.png"
  expect "$name" "the window answers during the run" answered "$(wine "$answers" "$title" 2000 2>/dev/null | tr -d '\r')"
}

# While the worker runs (its scenario writes slowly): the window refuses every way out, and
# the session's end; a second copy ends at once and brings this one to the front.
check_refusals() {  # NAME DIR
  local name=$1 dir=$2 i copy_pid notepad="Untitled - Notepad"
  for i in $(seq 1 50); do shown 1006 && break; sleep 0.1; done
  click "$title" 2 || expect "$name" "Close clicked" yes no
  press "$title" Escape || expect "$name" "Escape pressed" yes no
  press "$title" alt+F4 || expect "$name" "Alt+F4 pressed" yes no
  probe close "$title" || expect "$name" "WM_CLOSE sent" yes no
  expect "$name" "the session may not end" 0 "$(probe query-end "$title")"
  # Something else in front first, so that bringing the window forward shows.
  (exec env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 wine notepad </dev/null >/dev/null 2>&1) &
  probe wait "$notepad" 20000 >/dev/null || expect "$name" "another window opens" yes no
  expect "$name" "another window in front" 1 "$(probe front "$notepad")"
  (cd "$dir/app" && exec env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 wine TbtFwUpdate.exe </dev/null >/dev/null 2>&1) &
  copy_pid=$!
  for i in $(seq 1 200); do kill -0 "$copy_pid" 2>/dev/null || break; sleep 0.1; done
  expect "$name" "a second copy ends" ended "$(kill -0 "$copy_pid" 2>/dev/null && echo running || echo ended)"
  expect "$name" "one window" 1 "$(probe count "$title")"
  expect "$name" "the first copy's window in front" 1 "$(probe front "$title")"
  kill "$copy_pid" 2>/dev/null
  probe close "$notepad"
  probe gone "$notepad" 10000 || expect "$name" "the other window closes" yes no
  expect "$name" "still running and shown after the requests" "1 id=1 visible=1 enabled=0" \
    "$(probe shown "$title") $(control 1 | cut -d' ' -f1-3)"
  # Alt+F4 held down near the end of the run: the keys pile up at one message a tick and
  # are still queued when the worker ends; the window must not act on them then.
  for i in $(seq 1 600); do [[ -s "$(emulated_out)/written-images.txt" ]] && break; sleep 0.1; done
  press "$title" --repeat 60 --delay 5 alt+F4 || expect "$name" "Alt+F4 held" yes no
}

# NAME VERSION IMAGE STATUS WRITTEN ARGS [SCENARIO LINES...]
# With case_tool set, that program is run in place of TOOL; with case_plants set, copies of
# the DLL it names lie beside the tool as every DLL the tool uses that is no KnownDLL, and
# Wine takes them from there first: none may run.
tool_case() {
  local name=$1 version=$2 image=$3 status=$4 written=$5 args=$6
  shift 6
  local dir="$work/$name" tool_pid i overrides=$WINEDLLOVERRIDES dll
  mkdir -p "$dir/app/data"
  write_scenario "$dir" "$work/samples" "$version" "$@"
  cp "${case_tool:-$tool}" "$dir/app/TbtFwUpdate.exe"
  cp "$ini" "$dir/app/data/Update.ini"
  cp "$work/samples/$image" "$dir/app/data/"
  cp "$exit_probe" "$dir/app/"
  for dll in ${case_plants:+powrprof gdiplus comctl32}; do
    cp "$case_plants" "$dir/app/$dll.dll"
    overrides+=";$dll=n,b"
  done
  bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini" || { expect "$name" install ok failed; return; }

  # shellcheck disable=SC2086  # ARGS is a word list
  (cd "$dir/app" && exec env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 WINEDLLOVERRIDES="$overrides" \
     wine exit_code_probe_win32.exe TbtFwUpdate.exe $args </dev/null 2>/dev/null | tr -d '\r' >"$dir/exit.txt") &
  tool_pid=$!
  if ! wine "$probe" wait "$title" 60000 >/dev/null 2>&1; then
    expect "$name" "window appears" yes no
    kill "$tool_pid" 2>/dev/null
    return
  fi
  click "$title" 1003 || expect "$name" "Update clicked" yes no
  [[ $name == success ]] && check_busy "$name"
  [[ $name == refusals ]] && check_refusals "$name" "$dir"

  # The run takes its two fixed waits of ten seconds; bounded at a minute. Exit stays
  # greyed while the worker runs; on success it is enabled a moment before the shut-down
  # buttons replace it, so the wait is for the end state the case expects.
  for i in $(seq 1 600); do settled "$status" && break; sleep 0.1; done
  shot "$name"
  expect "$name" message "id=1004 visible=1 enabled=1 text=$(message "$status")" "$(control 1004)"
  if [[ $status == 0x00000000 ]]; then
    expect "$name" "shut-down buttons" "1 1 0" "$(shown 1007 && echo 1 || echo 0) $(shown 1008 && echo 1 || echo 0) $(shown 1 && echo 1 || echo 0)"
  else
    expect "$name" "Exit, no shut-down buttons" "0 1" "$(shown 1007 && echo 1 || echo 0) $(shown 1 && echo 1 || echo 0)"
  fi
  if [[ $written == yes ]]; then
    expect "$name" "image received" "" "$(received_only "$dir/app/data/$image")"
  else
    expect "$name" "nothing written" "" "$(lines "$(emulated_out)/written-images.txt")"
  fi
  expect "$name" "power requests" "$power_on_off" "$(power_requests)"
  expect "$name" "no planted DLL ran" no "$([[ -e $dir/app/planted.ran ]] && echo yes || echo no)"
  cp -r "$(emulated_out)" "$dir/out"

  if [[ $name == refusals ]]; then
    # After the run the window may close again, by a key as by any other way.
    expect "$name" "the window stays once the run has ended" stays "$(probe gone "$title" 2000 && echo gone || echo stays)"
    expect "$name" "the session may end" 1 "$(probe query-end "$title")"
    press "$title" alt+F4 || expect "$name" "Alt+F4 pressed" yes no
  else
    click "$title" "$([[ $status == 0x00000000 ]] && echo 1008 || echo 1)" || expect "$name" "last button clicked" yes no
  fi
  for i in $(seq 1 100); do kill -0 "$tool_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$tool_pid" 2>/dev/null; then
    expect "$name" "the tool ends" ended running
    kill "$tool_pid" 2>/dev/null
  fi
  # Closed after the outcome: written and a power-off needed, a refused downgrade is
  # nothing to do, no controller is not this notebook, anything else a failure.
  local code=1603
  case $status in
    0x00000000) code=3010 ;;
    0x1043000C) code=0 ;;
    0x10430002) code=1633 ;;
  esac
  expect "$name" "exit code" "exit=$code windows=1" "$(cat "$dir/exit.txt")"
}

# FILE COPY: COPY is FILE with the lowest bit of its last byte flipped, a byte image
# validation does not read.
flipped_copy() {
  local last
  cp "$1" "$2"
  last=$(($(stat -c %s "$2") - 1))
  printf "$(printf '\\%03o' $(($(od -An -tu1 -j"$last" -N1 "$2") ^ 1)))" | dd of="$2" bs=1 seek="$last" conv=notrunc 2>/dev/null
}

mkdir -p "$work/samples" "$shots"
(cd "$work" && wine "$samples" samples </dev/null >/dev/null 2>&1)

for case in "$@"; do
  case $case in
    success) tool_case success 0x1A img-156D.bin 0x00000000 yes "" ;;
    equal-version) tool_case equal-version 0x1B img-156D.bin 0x00000000 yes "" ;;
    downgrade-refused) tool_case downgrade-refused 0x30 img-156D.bin 0x1043000C no "" ;;
    downgrade-allowed) tool_case downgrade-allowed 0x30 img-156D.bin 0x00000000 yes /downgradable ;;
    field-mismatch) tool_case field-mismatch 0x1A img-156D-src0-80.bin 0x10430006 no "" ;;
    provider-refuses) tool_case provider-refuses 0x1A img-156D.bin 0x00000005 no "" "[return_values]" "UpdateFirmware = 5" ;;
    no-instance) tool_case no-instance 0x1A img-156D.bin 0x10430002 no "" "[faults]" "NoInstance = 1" ;;
    service-missing) tool_case service-missing 0x1A img-156D.bin 0x10430003 no "" "[faults]" "ServiceMissing = 1" ;;
    refusals) tool_case refusals 0x1A img-156D.bin 0x00000000 yes "" "update_ms = 8000" ;;
    # METHOD.PARAMETER=FORM: a reply against the method contract is no answer; UpdateFirmware writes before it answers.
    *.*=*) tool_case "$case" 0x1A img-156D.bin 0x10430003 "$([[ $case == UpdateFirmware.* ]] && echo yes || echo no)" "" "[replies]" "$case" ;;
    # The tool pinned to img-156D.bin ($TBTFW_PINNED_TOOL), beside planted DLLs
    # ($TBTFW_PLANTED_DLL): it writes that image, and refuses it with one byte changed.
    pinned) case_tool=$TBTFW_PINNED_TOOL case_plants=$TBTFW_PLANTED_DLL tool_case pinned 0x1A img-156D.bin 0x00000000 yes "" ;;
    pinned-other)
      flipped_copy "$work/samples/img-156D.bin" "$work/samples/img-156D-flipped.bin"
      case_tool=$TBTFW_PINNED_TOOL tool_case pinned-other 0x1A img-156D-flipped.bin 0x10430005 no "" ;;
    *) expect "$case" "known case" yes no ;;
  esac
done

echo "[$*] $passed passed, $failed failed"
[[ $failed -eq 0 ]]
