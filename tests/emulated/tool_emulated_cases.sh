#!/usr/bin/env bash
# The unmodified TbtFwUpdate.exe updating the emulated controller, one case after another
# in one prefix; run inside the Wine bench (DISPLAY and WINEPREFIX set).
# The tool runs under exit_code_probe, which reads its exit code in full.
# Usage: tool_emulated_cases.sh BENCH_ENV WORK CASE... (BENCH_ENV: tests/lib/bench_env.sh)
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
# shellcheck source=../lib/bench_env.sh
source "$repo/tests/lib/bench_env.sh"
read_bench_env "$1" || exit 1
work=$2
shift 2
# shellcheck source=../lib/tool_session.sh
source "$repo/tests/lib/tool_session.sh"
passed=0 failed=0

shot() { screenshot "$shots/emulated-$1.png"; }

# BEFORE AFTER: a screenshot as AFTER, true when it differs from BEFORE (false too when
# either cannot be read).
screen_changed() {
  screenshot "$2"
  compare -metric AE "$1" "$2" null: 2>/dev/null
  [[ $? == 1 ]]
}

# While the worker runs: the busy indicator shows and its frames change, and the window
# answers messages.
check_busy() {
  local name=$1 changed=no
  poll 200 shown "$id_spinner"
  expect "$name" "busy indicator shown" yes "$(shown "$id_spinner" && echo yes || echo no)"
  expect "$name" "the message says an update runs" "id=$id_message visible=1 enabled=1 text=$(expected_text 409 IDS_BUSY)" \
    "$(control "$id_message")"
  screenshot "$work/$name-busy-0.png"
  poll 20 screen_changed "$work/$name-busy-0.png" "$work/$name-busy-1.png" && changed=yes
  expect "$name" "busy indicator frames advance" yes "$changed"
  cp "$work/$name-busy-1.png" "$shots/emulated-$name-busy.png"
  expect "$name" "the window answers during the run" answered "$(wine_output "$answers" "$tool_title" 2000)"
}

# TITLE: true when the window titled TITLE is the foreground window.
in_front() { [[ "$(probe front "$1")" == 1 ]]; }

# While the worker runs (its scenario writes slowly): the window refuses every way out, and
# the session's end; a second copy ends at once and brings this one to the front.
check_refusals() {  # NAME DIR
  local name=$1 dir=$2 first=$tool_pid copy_pid notepad="Untitled - Notepad"
  poll 200 shown "$id_spinner"
  click "$id_close" || expect "$name" "Close clicked" yes no
  press Escape || expect "$name" "Escape pressed" yes no
  press alt+F4 || expect "$name" "Alt+F4 pressed" yes no
  probe close "$tool_title" || expect "$name" "WM_CLOSE sent" yes no
  expect "$name" "the session may not end" 0 "$(probe query-end "$tool_title")"
  # Something else in front first, so that bringing the window forward shows.
  (exec env LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 wine notepad </dev/null >/dev/null 2>&1) &
  probe wait "$notepad" 20000 >/dev/null || expect "$name" "another window opens" yes no
  # Wine activates a new window once the X server has mapped it: a moment after it exists.
  poll 50 in_front "$notepad" || true
  expect "$name" "another window in front" 1 "$(probe front "$notepad")"
  tool_lang=en_US.UTF-8 start_tool "$dir/app"
  copy_pid=$tool_pid tool_pid=$first
  expect "$name" "a second copy ends" ended "$(ended "$copy_pid" 200 && echo ended || echo running)"
  expect "$name" "one window" 1 "$(probe count "$tool_title")"
  poll 50 in_front "$tool_title" || true
  expect "$name" "the first copy's window in front" 1 "$(probe front "$tool_title")"
  probe close "$notepad" || expect "$name" "WM_CLOSE sent to the other window" yes no
  probe gone "$notepad" 10000 || expect "$name" "the other window closes" yes no
  expect "$name" "still running and shown after the requests" "1 id=$id_exit visible=1 enabled=0" \
    "$(probe shown "$tool_title") $(control "$id_exit" | cut -d' ' -f1-3)"
  # Alt+F4 held down near the end of the run: the keys pile up at one message a tick and
  # are still queued when the worker ends; the window must not act on them then.
  poll 600 test -s "$(emulated_out)/written-images.txt"
  press --repeat 60 --delay 5 alt+F4 || expect "$name" "Alt+F4 held" yes no
}

# NAME VERSION IMAGE STATUS WRITTEN ARGS [SCENARIO LINES...]
# With case_tool set, that program is run in place of TOOL; with case_plants set, copies of
# the DLL it names lie beside the tool as every DLL the tool uses that is no KnownDLL, and
# Wine takes them from there first: none may run.
tool_case() {
  local name=$1 version=$2 image=$3 status=$4 written=$5 args=$6
  shift 6
  local dir="$work/$name" app="$work/$name/app" overrides=$WINEDLLOVERRIDES dll
  write_scenario "$dir" "$work/samples" "$version" "$@"
  lay_out_tool "$app" "${case_tool:-$tool}" "$tool_ini" "$work/samples/$image"
  cp "$exit_probe" "$app/"
  for dll in ${case_plants:+powrprof gdiplus comctl32 oleacc}; do
    cp "$case_plants" "$app/$dll.dll"
    overrides+=";$dll=n,b"
  done
  bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini" || { expect "$name" install ok failed; return; }

  # shellcheck disable=SC2086  # ARGS is a word list
  tool_lang=en_US.UTF-8 tool_exit_file="$dir/exit.txt" WINEDLLOVERRIDES="$overrides" start_tool "$app" $args
  if ! wait_window 60000; then
    expect "$name" "window appears" yes no
    kill "$tool_pid" 2>/dev/null
    return
  fi
  if [[ $name == keyboard ]]; then
    start_listening "$dir"
    # Around the buttons once (Close, then Update) and Enter.
    press Tab Tab Return || expect "$name" "Tab Tab Enter pressed" yes no
    # Shown for the whole run (at least its two ten-second waits): a loaded machine may take
    # seconds to start the worker.
    poll 200 shown "$id_spinner"
    expect "$name" "busy indicator named while shown" "role=$role_animation name=$(expected_text 409 IDS_BUSY) shown" \
      "$(accessible "$id_spinner" | sed 's/ state=.* action=[^ ]*//') $(has_state "$id_spinner" "$state_invisible" && echo hidden || echo shown)"
  else
    click "$id_update" || expect "$name" "Update clicked" yes no
  fi
  [[ $name == success ]] && check_busy "$name"
  [[ $name == refusals ]] && check_refusals "$name" "$dir"

  # The run takes its two fixed waits of ten seconds; bounded at a minute. Exit stays
  # greyed while the worker runs; on success it is enabled a moment before the shut-down
  # buttons replace it, so the wait is for the end state the case expects.
  poll 600 settled "$status"
  shot "$name"
  expect "$name" message "id=$id_message visible=1 enabled=1 text=$(expected_message 409 "$status")" "$(control "$id_message")"
  if [[ $status == "$status_success" ]]; then
    expect "$name" "shut-down buttons" "1 1 0" "$(visible "$id_shutdown_now") $(visible "$id_shutdown_later") $(visible "$id_exit")"
  else
    expect "$name" "Exit, no shut-down buttons" "0 1" "$(visible "$id_shutdown_now") $(visible "$id_exit")"
  fi
  expect_controller_end "$name" "$app/data/$image" "$written"
  expect "$name" "no planted DLL ran" no "$([[ -e $app/planted.ran ]] && echo yes || echo no)"
  keep_emulated_out "$dir"

  if [[ $name == keyboard ]]; then
    expect "$name" "focus on Shut down now" yes "$(focused "$id_shutdown_now" && echo yes || echo no)"
    expect_announced "$name" "$dir" "$id_message"
    # On to Shut down later and Enter: the tool ends and asks for a restart.
    press Tab Return || expect "$name" "Tab Enter pressed" yes no
  elif [[ $name == refusals ]]; then
    # After the run the window may close again, by a key as by any other way.
    expect "$name" "the window stays once the run has ended" stays "$(window_stays 2000 && echo stays || echo gone)"
    expect "$name" "the session may end" 1 "$(probe query-end "$tool_title")"
    press alt+F4 || expect "$name" "Alt+F4 pressed" yes no
  else
    click "$([[ $status == "$status_success" ]] && echo "$id_shutdown_later" || echo "$id_exit")" || expect "$name" "last button clicked" yes no
  fi
  ended "$tool_pid" || expect "$name" "the tool ends" ended running
  # Closed after the outcome: written and a power-off needed, a refused downgrade is
  # nothing to do, no controller is not this notebook, anything else a failure.
  local code=1603
  case $status in
    "$status_success") code=3010 ;;
    0x1043000C) code=0 ;;
    0x10430002) code=1633 ;;
  esac
  expect "$name" "exit code" "exit=$code windows=1" "$(cat "$dir/exit.txt")"
  # The log says which system call failed each step, and with what code.
  [[ $name == service-missing ]] && expect "$name" "the log gives the system's reasons" \
    "start service: OpenServiceW failed, system error 0x00000424|connect: ConnectServer failed, system error 0x8004100E" \
    "$(grep -a 'failed, system error' "$app/run.log" | cut -d' ' -f3- | tr -d '\r' | paste -sd'|')"
}

# DIR [NAME]: starts the MSAA probe listening to the tool's events into DIR/events.txt in
# the background, for up to two minutes, and sets `listener`; returns once it listens.
start_listening() {
  rm -f "$1/listening"
  (exec wine "$(dirname "$window_probe")/msaa_probe.exe" listen "$tool_title" 120000 "$(winepath -w "$1/listening")" \
    </dev/null >"$1/events.txt" 2>/dev/null) &
  listener=$!
  poll 200 test -e "$1/listening" || expect "${2:-keyboard}" "listener ready" yes no
}

# NAME DIR ID: counts the check that the first live-region change heard in DIR/events.txt
# was control ID's.
expect_announced() {
  wait "$listener" 2>/dev/null
  expect "$1" "control $3 announced as a live region" "event=0x8019 id=$3" \
    "$(grep -m 1 "^event=0x8019 " "$2/events.txt" | tr -d '\r')"
  expect "$1" "control $3 raised an alert" "event=0x2 id=$3" "$(grep -m 1 "^event=0x2 " "$2/events.txt" | tr -d '\r')"
}

# NAME ONLINE: the tool started from $work/NAME/app (the builder's image, a controller at
# 0x1A) on power supplies of its own whose adapter is plugged in (ONLINE 1) or not (0),
# its window shown. False, with the reason told, when that cannot be: a mount namespace
# over /sys/class/power_supply needs root.
start_on_supplies() {
  local name=$1 dir="$work/$1" app="$work/$1/app"
  if [[ $(id -u) != 0 || ! -d /sys/class/power_supply ]]; then
    echo "SKIP [$name] a mount namespace over /sys/class/power_supply needs root"
    return 1
  fi
  if ! { write_scenario "$dir" "$work/samples" 0x1A &&
          lay_out_tool "$app" "$tool" "$tool_ini" "$work/samples/img-156D.bin" && cp "$exit_probe" "$app/" &&
          power_supplies "$dir/power_supply" "$2" &&
          bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini"; }; then
    expect "$name" prepared yes no
    return 1
  fi
  tool_lang=en_US.UTF-8 tool_exit_file="$dir/exit.txt" tool_power_supply="$dir/power_supply" start_tool "$app"
  wait_window 60000 || { expect "$name" "window appears" yes no; kill "$tool_pid" 2>/dev/null; return 1; }
}

# On battery, as the system reports it: Update shows the caution and starts nothing, and
# the window closed then exits 1602 (nothing updated), never as if an update had run.
case_on_battery() {
  local name=on-battery dir="$work/on-battery" app="$work/on-battery/app"
  start_on_supplies "$name" 0 || return
  start_listening "$dir" "$name"
  click "$id_update" || expect "$name" "Update clicked" yes no
  poll 100 shown "$id_caution" || true
  expect_announced "$name" "$dir" "$id_caution"
  shot "$name"
  expect "$name" caution "id=$id_caution visible=1 enabled=1 text=$(expected_text 409 IDS_CAUTION)" "$(control "$id_caution")"
  expect "$name" "Update usable again" yes "$(usable "$id_update" && echo yes || echo no)"
  click "$id_close" || expect "$name" "Close clicked" yes no
  ended "$tool_pid" || expect "$name" "the tool ends" ended running
  expect "$name" "exit code" "exit=1602 windows=1" "$(cat "$dir/exit.txt")"
  expect "$name" "nothing powered, nothing written" "" "$(power_requests)$(lines "$(emulated_out)/written-images.txt")"
}

# The adapter pulled while the controller settles, after Update found mains power: the
# worker writes nothing and powers the controller off, and the window shows the caution
# with Update usable again, as on battery before a run.
case_unplugged() {
  local name=unplugged dir="$work/unplugged" app="$work/unplugged/app"
  start_on_supplies "$name" 1 || return
  click "$id_update" || expect "$name" "Update clicked" yes no
  # Unplugged once the controller is powered, well inside the ten-second wait.
  poll 100 test -s "$(emulated_out)/acpi-requests.txt" || expect "$name" "controller powered" yes no
  printf '0\n' >"$dir/power_supply/AC/online"
  poll 600 shown "$id_caution" || true
  shot "$name"
  expect "$name" caution "id=$id_caution visible=1 enabled=1 text=$(expected_text 409 IDS_CAUTION)" "$(control "$id_caution")"
  expect "$name" "Update usable again" yes "$(usable "$id_update" && echo yes || echo no)"
  expect "$name" "no shut-down buttons" "0 0" "$(visible "$id_shutdown_now") $(visible "$id_exit")"
  expect_controller_end "$name" "$app/data/img-156D.bin" no
  click "$id_close" || expect "$name" "Close clicked" yes no
  ended "$tool_pid" || expect "$name" "the tool ends" ended running
  expect "$name" "exit code" "exit=1602 windows=1" "$(cat "$dir/exit.txt")"
}

# FILE COPY: COPY is FILE with the lowest bit of its last byte flipped, a byte image
# validation does not read.
flipped_copy() {
  local last
  cp "$1" "$2"
  last=$(($(stat -c %s "$2") - 1))
  # shellcheck disable=SC2059  # the format is the one byte, written as an octal escape
  printf "$(printf '\\%03o' $(($(od -An -tu1 -j"$last" -N1 "$2") ^ 1)))" | dd of="$2" bs=1 seek="$last" conv=notrunc 2>/dev/null
}

# The header, the busy text and the outcome in the run's language: German, Japanese and
# Arabic (right to left), each chosen with /LID: on an English system. While the worker
# runs the message says so in that language; the outcome replaces it.
case_busy_languages() {
  local lcid name dir app busy
  for lcid in 407 411 401; do
    name=busy-$lcid dir=$work/busy-$lcid app=$work/busy-$lcid/app
    busy=$(expected_text "$lcid" IDS_BUSY)
    if ! write_scenario "$dir" "$work/samples" 0x1A || ! lay_out_tool "$app" "$tool" "$tool_ini" "$work/samples/img-156D.bin" ||
       ! bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini"; then
      expect "$name" install ok failed
      continue
    fi
    tool_lang=en_US.UTF-8 start_tool "$app" "/LID:$lcid"
    if ! wait_window 60000; then
      expect "$name" "window appears" yes no
      kill "$tool_pid" 2>/dev/null
      continue
    fi
    expect "$name" "title" "id=$id_title visible=1 enabled=1 text=$(expected_text "$lcid" IDS_TITLE)" "$(control "$id_title")"
    expect "$name" "the window's title" 1 "$(probe count "$(expected_text "$lcid" IDS_TITLE)")"
    click "$id_update" || expect "$name" "Update clicked" yes no
    poll 200 shown "$id_spinner"
    expect "$name" "the message says an update runs" "id=$id_message visible=1 enabled=1 text=$busy" "$(control "$id_message")"
    screenshot "$shots/emulated-$name.png"
    poll 600 settled "$status_success"
    expect "$name" "the outcome replaces it" "replaced 1" \
      "$([[ "$(control "$id_message")" == *"text=$busy" ]] && echo busy || echo replaced) $(visible "$id_shutdown_now")"
    click "$id_shutdown_later" || expect "$name" "Shut down later clicked" yes no
    ended "$tool_pid" || expect "$name" "the tool ends" yes no
  done
}

mkdir -p "$work/samples" "$shots"
(cd "$work" && wine "$samples" samples </dev/null >/dev/null 2>&1) || { echo "FAIL nvm-samples"; exit 1; }

for case in "$@"; do
  case $case in
    success) tool_case success 0x1A img-156D.bin 0x00000000 yes "" ;;
    busy-languages) case_busy_languages ;;
    # The whole run by keyboard alone, read and heard by a screen reader's means.
    keyboard) tool_case keyboard 0x1A img-156D.bin 0x00000000 yes "" ;;
    equal-version) tool_case equal-version 0x1B img-156D.bin 0x00000000 yes "" ;;
    downgrade-refused) tool_case downgrade-refused 0x30 img-156D.bin 0x1043000C no "" ;;
    downgrade-allowed) tool_case downgrade-allowed 0x30 img-156D.bin 0x00000000 yes /downgradable ;;
    field-mismatch) tool_case field-mismatch 0x1A img-156D-src0-80.bin 0x10430006 no "" ;;
    provider-refuses) tool_case provider-refuses 0x1A img-156D.bin 0x00000005 no "" "[return_values]" "UpdateFirmware = 5" ;;
    no-instance) tool_case no-instance 0x1A img-156D.bin 0x10430002 no "" "[faults]" "NoInstance = 1" ;;
    service-missing) tool_case service-missing 0x1A img-156D.bin 0x10430003 no /log:run.log "[faults]" "ServiceMissing = 1" ;;
    on-battery) case_on_battery ;;
    unplugged) case_unplugged ;;
    # A generation 3 controller in BIOS-assist mode and an image for native enumeration,
    # alike in every other field: refused before anything is written.
    native-mismatch) scenario_region=ctl-1578.dump tool_case native-mismatch 0x1A img-1578-native.bin 0x10430006 no "" ;;
    refusals) tool_case refusals 0x1A img-156D.bin 0x00000000 yes "" "update_ms = 8000" ;;
    # METHOD.PARAMETER=FORM: a reply against the method contract is no answer; UpdateFirmware writes before it answers.
    *.*=*) tool_case "$case" 0x1A img-156D.bin 0x10430003 "$([[ $case == UpdateFirmware.* ]] && echo yes || echo no)" "" "[replies]" "$case" ;;
    # The tool pinned to img-156D.bin (pinned_tool), beside planted DLLs (planted_dll): it
    # writes that image, and refuses it with one byte changed.
    pinned) case_tool=$pinned_tool case_plants=$planted_dll tool_case pinned 0x1A img-156D.bin 0x00000000 yes "" ;;
    pinned-other)
      flipped_copy "$work/samples/img-156D.bin" "$work/samples/img-156D-flipped.bin"
      case_tool=$pinned_tool tool_case pinned-other 0x1A img-156D-flipped.bin 0x10430005 no "" ;;
    *) expect "$case" "known case" yes no ;;
  esac
done

checks_summary "$*"
