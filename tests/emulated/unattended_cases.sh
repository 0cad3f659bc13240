#!/usr/bin/env bash
# The unmodified TbtFwUpdate.exe without its window (/silent, /check) and the exit codes of
# every way it ends, on the emulated controller, one case after another in one prefix; run
# inside the Wine bench (DISPLAY and WINEPREFIX set). Exit codes are read in full through
# exit_code_probe, which also counts the windows the tool showed.
# Usage: unattended_cases.sh BENCH_ENV WORK CASE... (BENCH_ENV: tests/lib/bench_env.sh)
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
# shellcheck source=../lib/bench_env.sh
source "$repo/tests/lib/bench_env.sh"
read_bench_env "$1" || exit 1
work=$2 ini=$tool_ini
shift 2
# shellcheck source=../lib/tool_session.sh
source "$repo/tests/lib/tool_session.sh"
passed=0 failed=0

# NAME VERSION IMAGE [SCENARIO LINES...]: a folder laid out as the tool ships, with IMAGE and
# the exit-code probe, on a controller at VERSION installed in the prefix, with no record of
# an earlier write (one would make a /silent of the same image write nothing). Prints the
# app folder.
prepare() {
  local name=$1 version=$2 image=$3 dir="$work/$1"
  shift 3
  wine reg delete "$record_key" /f /reg:64 </dev/null >/dev/null 2>&1
  write_scenario "$dir" "$work/samples" "$version" "$@" || return 1
  lay_out_tool "$dir/app" "$tool" "$ini" "$work/samples/$image" && cp "$exit_probe" "$dir/app/" || return 1
  bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini" || return 1
  echo "$dir/app"
}

# The record a written image leaves for detection scripts, in the registry's 64-bit view.
readonly record_key='HKLM\SOFTWARE\Vanto\ThunderboltFirmwareUpdate'

# NAME: the record's value NAME, as `reg` prints it; nothing when there is none.
record_value() {
  wine reg query "$record_key" /v "$1" /reg:64 </dev/null 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { print $3 }'
}

# NAME IMAGE WRITTEN: counts the checks of the record after a run that started without one:
# IMAGE's SHA-256 and the NVM version 0x1B of the builder's image when WRITTEN is "yes",
# no record otherwise.
expect_record() {
  if [[ $3 == yes ]]; then
    expect "$1" "record: image digest" "$(sha256sum "$2" | cut -d' ' -f1)" "$(record_value ImageSha256)"
    expect "$1" "record: NVM version" 0x1b "$(record_value NvmVersion)"
  else
    expect "$1" "no record" "" "$(record_value ImageSha256)"
  fi
}

# NAME VERSION IMAGE MODE CODE WRITTEN [ARGS...]: one unattended run; the exit code in full,
# no window, the image received byte for byte or nothing written, the controller powered
# on then off, the registry record, and a log naming the run's facts.
unattended_case() {
  local name=$1 version=$2 image=$3 mode=$4 code=$5 written=$6 app
  shift 6
  app=$(prepare "$name" "$version" "$image") || { expect "$name" prepared yes no; return; }
  wine reg delete "$record_key" /f /reg:64 </dev/null >/dev/null 2>&1
  expect "$name" "exit code, no window" "exit=$code windows=0" "$(run_tool_counted "$app" "$mode" "$@" /log:run.log)"
  expect_controller_end "$name" "$app/data/$image" "$written"
  expect_record "$name" "$app/data/$image" "$written"
  local log="$app/run.log" sha
  sha=$(sha256sum "$app/data/$image" | cut -d' ' -f1)
  expect "$name" "every line stamped" "" "$(grep -avE '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} ' "$log")"
  expect "$name" "log names the image" 1 "$(grep -ac "image .*\\\\data\\\\$image, $(stat -c %s "$app/data/$image") bytes, SHA-256 $sha" "$log")"
  expect "$name" "log names the controller" 1 "$(grep -acE "controller .+, NVM version 0x000000${version#0x}" "$log")"
  expect "$name" "log ends with the exit code" "exit code $code" "$(tail -n 1 "$log" | tr -d '\r' | cut -d' ' -f3-)"
}

case_field_mismatch() {
  unattended_case field-mismatch 0x1A img-156D-src0-80.bin /silent 1603 no
  expect field-mismatch "log holds the status" 1 "$(grep -ac 'status 0x10430006: ' "$work/field-mismatch/app/run.log")"
}

# Two /silent copies at once: one updates, the other ends at once with 1618.
case_two_copies() {
  local app first second
  app=$(prepare two-copies 0x1A img-156D.bin) || { expect two-copies prepared yes no; return; }
  run_tool_counted "$app" /silent >"$work/two-copies/first.txt" &
  first=$!
  # The second starts once the first holds the controller's power.
  poll 200 test -s "$(emulated_out)/acpi-requests.txt"
  second=$(run_tool_counted "$app" /silent)
  wait "$first"
  expect two-copies "the second copy" "exit=1618 windows=0" "$second"
  expect two-copies "the first copy" "exit=3010 windows=0" "$(cat "$work/two-copies/first.txt")"
  expect two-copies "written once" "" "$(received_only "$app/data/img-156D.bin")"
}

# /silent /shutdown asks for the power-off through InitiateShutdownW; Wine refuses it, so the
# run ends with 3010 and the system's error in the log.
case_shutdown() {
  unattended_case shutdown 0x1A img-156D.bin /silent 3010 yes /shutdown
  local log="$work/shutdown/app/run.log"
  expect shutdown "the call and its answer" 1 "$(grep -ac 'InitiateShutdownW(power-off, planned software upgrade): 0x00000078' "$log")"
  expect shutdown "refusal logged" 1 "$(grep -ac 'could not be powered off: system error 0x00000078' "$log")"
}

# A request to end the session, sent to the unattended run's windows while it writes (for 8
# seconds), is refused, and the write completes.
case_session_end() {
  local app runner log answer
  app=$(prepare session-end 0x1A img-156D.bin 'update_ms = 8000') || { expect session-end prepared yes no; return; }
  log="$app/run.log"
  run_tool_counted "$app" /silent /log:run.log >"$work/session-end/exit.txt" &
  runner=$!
  # The image passed every check: the write starts at once.
  poll 600 grep -qs 'image NVM version' "$log" || expect session-end "write started" yes no
  answer=$(probe query-end "Vanto Thunderbolt Firmware Update (unattended)")
  expect session-end "session end refused while writing" 0 "$answer"
  expect session-end "still writing when asked" "" "$(lines "$(emulated_out)/written-images.txt")"
  wait "$runner"
  expect session-end "exit code" "exit=3010 windows=0" "$(cat "$work/session-end/exit.txt")"
  expect_controller_end session-end "$app/data/img-156D.bin" yes
}

# Any program can hold plain objects under the names an earlier tool used: they stop
# neither /check nor /silent.
case_squatters() {
  local app squatter held
  app=$(prepare squatters 0x1A img-156D.bin) || { expect squatters prepared yes no; return; }
  cp "$squat_probe" "$app/squat_probe.exe"
  # Straight into the file: a filter in between would hold the line until the probe ends.
  (cd "$app" && exec wine squat_probe.exe 240000 'Local\Vanto.TbtFwUpdate.OneCopy' 'Global\Vanto.TbtFwUpdate.OneCopy' \
     </dev/null 2>/dev/null >"$work/squatters/held.txt") &
  squatter=$!
  poll 300 grep -qs '^held' "$work/squatters/held.txt"
  held=$(lines "$work/squatters/held.txt")
  expect squatters "names held" "held 2" "$held"
  expect squatters "/check" "exit=0 windows=0" "$(run_tool_counted "$app" /check)"
  expect squatters "/silent" "exit=3010 windows=0" "$(run_tool_counted "$app" /silent)"
  expect squatters "image received" "" "$(received_only "$app/data/img-156D.bin")"
  kill "$squatter" 2>/dev/null
}

# The window closed without an update: 1602; a wrongly given switch: 1639 and no window.
case_window_codes() {
  local app
  app=$(prepare window-codes 0x1A img-156D.bin) || { expect window-codes prepared yes no; return; }
  run_tool_counted "$app" >"$work/window-codes/closed.txt" &
  local runner=$!
  if wait_window 60000; then
    probe close "$tool_title" || expect window-codes "WM_CLOSE sent" yes no
  else
    expect window-codes "window appears" yes no
  fi
  wait "$runner"
  expect window-codes "closed without an update" "exit=1602 windows=1" "$(cat "$work/window-codes/closed.txt")"
  expect window-codes "/log: without a path" "exit=1639 windows=0" "$(run_tool_counted "$app" /silent /log:)"
  expect window-codes "a log in a missing folder" "exit=1639 windows=0" "$(run_tool_counted "$app" /silent '/log:C:\no\such\folder\x.log')"
  expect window-codes "nothing run" "" "$(power_requests)"
}

# FILE: its SHA-256.
digest() { sha256sum "$1" | cut -d' ' -f1; }

# /log: naming something other than a plain new or trusted file: 1639 at once, nothing run,
# and the file reached through the name left byte for byte as it was. Wine reports a hard
# link's second name in nNumberOfLinks, resolves a symbolic link in the handle's final
# path, and gives a file of another Unix account an owner that is not ours.
case_log_guards() {
  local app dir=$work/log-guards before
  app=$(prepare log-guards 0x1A img-156D.bin) || { expect log-guards prepared yes no; return; }
  mkdir -p "$dir/elsewhere"
  printf 'echo kept\r\n' >"$dir/elsewhere/startup.cmd"
  printf 'echo kept\r\n' >"$dir/elsewhere/linked.cmd"
  printf 'theirs\r\n' >"$app/foreign.log"
  chown 65534:65534 "$app/foreign.log" || expect log-guards "a file of another account" made failed
  # The tool's own account owns it, but anyone may write it (Wine: Everyone, from o+w).
  printf 'open\r\n' >"$app/open.log" && chmod 666 "$app/open.log"
  ln "$dir/elsewhere/linked.cmd" "$app/hard.log"
  ln -s "$dir/elsewhere/startup.cmd" "$app/symbolic.log"
  ln -s "$dir/elsewhere" "$app/logs"
  before=$(digest "$dir/elsewhere/startup.cmd") || return
  local row name what
  for row in "hard.log:a hard link" "symbolic.log:a symbolic link" 'logs\new.log:a linked folder' \
             "foreign.log:a file another account owns" "open.log:a file anyone may write"; do
    name=${row%%:*} what=${row#*:}
    expect log-guards "$what: refused" "exit=1639 windows=0" "$(run_tool_counted "$app" /silent "/log:$name")"
  done
  expect log-guards "the hard link's file untouched" "$before" "$(digest "$dir/elsewhere/linked.cmd")"
  expect log-guards "the symbolic link's file untouched" "$before" "$(digest "$dir/elsewhere/startup.cmd")"
  expect log-guards "nothing left in the linked folder" "linked.cmd startup.cmd" "$(cd "$dir/elsewhere" && echo *)"
  expect log-guards "the other account's file untouched" "theirs" "$(lines "$app/foreign.log")"
  expect log-guards "the open file untouched" "open" "$(lines "$app/open.log")"
  expect log-guards "nothing run" "" "$(power_requests)"
}

# A ".local" entry beside the tool: nothing runs, in either mode; the log says why, and the
# window mode tells the user in a message box instead of opening its window.
case_dot_local() {
  local app
  app=$(prepare dot-local 0x1A img-156D.bin) || { expect dot-local prepared yes no; return; }
  mkdir "$app/TbtFwUpdate.exe.local"
  expect dot-local "/silent refused" "exit=1603 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
  expect dot-local "log tells why" 1 "$(grep -ac '"\.local" entry lies beside the program' "$app/run.log")"
  expect dot-local "log ends with the exit code" "exit code 1603" "$(tail -n 1 "$app/run.log" | tr -d '\r' | cut -d' ' -f3-)"
  # The refusal comes before GDI+ is started: the loader never maps it.
  (cd "$app" && WINEDEBUG=+loaddll timeout 300 wine TbtFwUpdate.exe /silent </dev/null >/dev/null 2>"$work/dot-local/loaddll.txt")
  expect dot-local "the loader's channel seen" 1 "$(grep -aci 'Loaded L".*kernelbase.dll"' "$work/dot-local/loaddll.txt")"
  expect dot-local "no GDI+ loaded" 0 "$(grep -aci 'gdiplus' "$work/dot-local/loaddll.txt")"
  tool_exit_file="$work/dot-local/window.txt" start_tool "$app"
  local runner=$tool_pid box
  if wait_window 60000; then
    box=$(probe list "$tool_title" | grep -c 'TbtFwUpdate.exe.local')
    expect dot-local "message box names the entry" 1 "$box"
    probe close "$tool_title" || expect dot-local "WM_CLOSE sent" yes no
  else
    expect dot-local "message box appears" yes no
  fi
  ended "$runner" 300 || expect dot-local "the tool ends" ended running
  expect dot-local "window mode refused" "exit=1603 windows=1" "$(cat "$work/dot-local/window.txt")"
  expect dot-local "nothing run" "" "$(power_requests)"
}

# Update.ini's English texts and the controller's id holding terminal escapes, a bell, a
# right-to-left override, a double quote and backslashes, and data/ holding only
# fw.binary (which "*.bin" matches by its short name FW~1.BIN): no image, nothing written,
# and none of those characters raw in the log. The quote and backslashes in the id reach
# the provider escaped in the object path, or it would not find the controller.
case_hostile_data() {
  local app dir=$work/hostile-data id
  id=$(printf 'PCI\\VEN_8086&DEV_156D"\\3&1\033[31m')
  write_scenario "$dir" "$work/samples" 0x1A "controller_id = $id" || { expect hostile-data prepared yes no; return; }
  python3 - "$ini" "$dir/Update.ini" <<'PY'
import sys
text = open(sys.argv[1], encoding="utf-16").read()
hostile = "Failed\x1b[2J\x07 \u202eop\u202c \u200f\u2066x\u2069"
text = text.replace("IDS_ERROR=The firmware update failed.", "IDS_ERROR=" + hostile + " The firmware update failed.", 1)
open(sys.argv[2], "w", encoding="utf-16", newline="").write(text)
PY
  app=$dir/app
  if ! lay_out_tool "$app" "$tool" "$dir/Update.ini" "$work/samples/img-156D.bin" fw.binary ||
     ! cp "$exit_probe" "$app/" || ! bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini"; then
    expect hostile-data prepared yes no
    return
  fi
  expect hostile-data "exit code, no window" "exit=1603 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
  expect_controller_end hostile-data "$app/data/fw.binary" no
  local log="$app/run.log"
  expect hostile-data "no image" 1 "$(grep -ac '^.\{24\}image: 0x10430005' "$log")"
  expect hostile-data "controller found, its id escaped" 1 \
    "$(grep -acF 'controller PCI\VEN_8086&DEV_156D"\3&1\u{1B}[31m, NVM version' "$log")"
  # The status line is the program's own English, never the INI's text.
  expect hostile-data "the status line is built in" 1 \
    "$(grep -acF 'status 0x10430005: The firmware update failed. Restart the computer' "$log")"
  expect hostile-data "no control or direction mark raw" 0 \
    "$(tr -d '\r\n' <"$log" | LC_ALL=C.UTF-8 grep -caP '[\x00-\x1F\x7F]|\x{202E}|\x{202C}|\x{200F}|\x{2066}|\x{2069}')"
}

# An image with a valid start padded to 48 MiB: larger than any NVM, refused unread.
case_big_image() {
  local app
  truncate -s 48M "$work/samples/img-156D-48M.bin" 2>/dev/null
  dd if="$work/samples/img-156D.bin" of="$work/samples/img-156D-48M.bin" conv=notrunc status=none
  app=$(prepare big-image 0x1A img-156D-48M.bin) || { expect big-image prepared yes no; return; }
  expect big-image "exit code, no window" "exit=1603 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
  expect_controller_end big-image "$app/data/img-156D-48M.bin" no
  expect big-image "refused before it is read" "1 0" \
    "$(grep -ac '^.\{24\}image: 0x10430005' "$app/run.log") $(grep -ac 'SHA-256' "$app/run.log")"
  # The tool refused it, not the system: no system error is blamed.
  expect big-image "no system reason given" 0 "$(grep -ac 'image: .* failed, system error' "$app/run.log")"
}

# A generation 3 controller in BIOS-assist mode and an image alike in every field but one
# of the controller's mode (IMAGE): refused, nothing written, FIELD named in the log.
# NAME IMAGE FIELD
case_mode_mismatch() {
  local name=$1 image=$2 field=$3 app
  app=$(scenario_region=ctl-1578.dump prepare "$name" 0x1A "$image") || { expect "$name" prepared yes no; return; }
  expect "$name" "exit code, no window" "exit=1603 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
  expect_controller_end "$name" "$app/data/$image" no
  expect "$name" "log names the field" 1 "$(grep -ac "validation: field $field differs" "$app/run.log")"
  expect "$name" "log holds the status" 1 "$(grep -ac 'status 0x10430006: ' "$app/run.log")"
}

# One package for two boards: data/ holds board A's image (named to sort last) and board
# B's (first). On either board the one that fits is written, whichever name sorts first.
case_two_boards() {
  local region expected app name
  for board in "ctl-1578.dump z-board-a.bin" "ctl-1578-model-b23.dump a-board-b.bin"; do
    read -r region expected <<<"$board"
    name=two-boards-${expected%.bin}
    app=$(scenario_region=$region prepare "$name" 0x1A img-1578.bin) || { expect "$name" prepared yes no; continue; }
    mv "$app/data/img-1578.bin" "$app/data/z-board-a.bin" && cp "$work/samples/img-1578-model-b23.bin" "$app/data/a-board-b.bin"
    expect "$name" "exit code, no window" "exit=3010 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
    expect_controller_end "$name" "$app/data/$expected" yes
    expect "$name" "log names the image chosen" 1 "$(grep -ac "image chosen: .*\\\\data\\\\$expected" "$app/run.log")"
  done
}

# Two images that both fit the controller and differ (the builder's image and one that
# differs only in bits the checks mask off): which one the maker meant cannot be told, so
# nothing is written.
case_two_fit() {
  local app
  app=$(scenario_region=ctl-1578.dump prepare two-fit 0x1A img-1578.bin) || { expect two-fit prepared yes no; return; }
  mv "$app/data/img-1578.bin" "$app/data/bios.bin" && cp "$work/samples/img-1578-usb2.bin" "$app/data/native.bin"
  expect two-fit "exit code, no window" "exit=1603 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
  expect two-fit "nothing written" "" "$(lines "$(emulated_out)/written-images.txt")"
  expect two-fit "power requests" "$power_on_off" "$(power_requests)"
  expect two-fit "log names both" 1 "$(grep -ac 'images that fit and differ, none written: .*bios.bin .*native.bin' "$app/run.log")"
  expect two-fit "log holds the status" 1 "$(grep -ac 'status 0x1043000D: ' "$app/run.log")"
}

# The adapter pulled while the controller settles: nothing written, the controller powered
# off, and the on-battery exit code, on which a deployment retries later.
case_unplugged() {
  local app dir=$work/unplugged runner
  if [[ $(id -u) != 0 || ! -d /sys/class/power_supply ]]; then
    echo "SKIP [unplugged] a mount namespace over /sys/class/power_supply needs root"
    return
  fi
  if ! { app=$(prepare unplugged 0x1A img-156D.bin) && power_supplies "$dir/power_supply" 1; }; then
    expect unplugged prepared yes no
    return
  fi
  tool_power_supply=$dir/power_supply run_tool_counted "$app" /silent /log:run.log >"$dir/exit.txt" &
  runner=$!
  poll 300 test -s "$(emulated_out)/acpi-requests.txt" || expect unplugged "controller powered" yes no
  printf '0\n' >"$dir/power_supply/AC/online"
  wait "$runner"
  expect unplugged "exit code, no window" "exit=3020 windows=0" "$(cat "$dir/exit.txt")"
  expect_controller_end unplugged "$app/data/img-156D.bin" no
  expect unplugged "log says why" 1 "$(grep -ac 'power source: 0x1043000E' "$app/run.log")"
}

# A deployment repeating /silent before the power-off (the controller still reports the
# old version): the second run writes nothing and exits as the first did, /check tells the
# pending write, and /force writes again. The record then survives the runs it skipped.
case_rerun() {
  local app image
  app=$(prepare rerun 0x1A img-156D.bin) || { expect rerun prepared yes no; return; }
  image=$app/data/img-156D.bin
  wine reg delete "$record_key" /f /reg:64 </dev/null >/dev/null 2>&1
  expect rerun "first run writes" "exit=3010 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
  expect rerun "image received" "" "$(received_only "$image")"
  expect rerun "second run" "exit=3010 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
  expect rerun "nothing received the second time" "" "$(received_only "$image")"
  expect rerun "the log says why" 1 "$(grep -ac 'this image was written since the computer started' "$app/run.log")"
  expect rerun "/check tells the pending write" "exit=3 windows=0" "$(run_tool_counted "$app" /check)"
  expect rerun "/force writes" "exit=3010 windows=0" "$(run_tool_counted "$app" /silent /force)"
  expect rerun "received twice in all" 2 "$(lines "$(emulated_out)/written-images.txt" | wc -l)"
  expect_record rerun "$image" yes
}

# NAME: the record's string value NAME whole, spaces and all; nothing when there is none.
record_text() {
  wine reg query "$record_key" /v "$1" /reg:64 </dev/null 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_SZ *//p"
}

# Every attempt leaves its outcome on record: a refused image (another board's fields)
# leaves the last attempt, and no record of a write. A write recorded in an earlier boot
# whose version the controller still does not run is told as not activated, by a check too.
case_attempts() {
  local app
  app=$(prepare attempts 0x1A img-156D-src0-80.bin) || { expect attempts prepared yes no; return; }
  wine reg delete "$record_key" /f /reg:64 </dev/null >/dev/null 2>&1
  expect attempts "refused" "exit=1603 windows=0" "$(run_tool_counted "$app" /silent)"
  expect attempts "last attempt" "refused 0x10430006" "$(record_text LastAttemptOutcome) $(record_value LastAttemptStatus)"
  expect attempts "no record of a write" "" "$(record_value ImageSha256)"
  expect attempts "nothing written" "" "$(lines "$(emulated_out)/written-images.txt")"
  # Version 0x1B written when the system had started at time 1: long ago.
  wine reg add "$record_key" /v NvmVersion /t REG_DWORD /d 27 /f /reg:64 </dev/null >/dev/null 2>&1
  wine reg add "$record_key" /v ImageSha256 /t REG_SZ /d "$(sha256sum "$app/data/img-156D-src0-80.bin" | cut -d' ' -f1)" \
    /f /reg:64 </dev/null >/dev/null 2>&1
  wine reg add "$record_key" /v WrittenBoot /t REG_QWORD /d 1 /f /reg:64 </dev/null >/dev/null 2>&1
  expect attempts "a check" "exit=1603 windows=0" "$(run_tool_counted "$app" /check /log:check.log)"
  expect attempts "the check tells it" 1 "$(grep -ac 'NVM version 0x0000001B is not activated: the controller still runs 0x0000001A' "$app/check.log")"
  expect attempts "the record tells it" "not activated" "$(record_text Activation)"
}

# One Application event per run, with its outcome, status, image and exit code, from a
# source the run registers itself (naming the exe as its message file). Wine's event log
# is its debug channel: ReportEventW's inserts appear there, one line each.
case_event() {
  local app sha source='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Vanto Thunderbolt Firmware Update'
  app=$(prepare event 0x1A img-156D.bin) || { expect event prepared yes no; return; }
  sha=$(sha256sum "$app/data/img-156D.bin" | cut -d' ' -f1)
  wine reg delete "$record_key" /f /reg:64 </dev/null >/dev/null 2>&1
  wine reg delete "$source" /f </dev/null >/dev/null 2>&1
  expect event "exit code" "exit=3010 windows=0" \
    "$(cd "$app" && WINEDEBUG=+eventlog timeout 300 wine exit_code_probe_win32.exe TbtFwUpdate.exe /silent \
         </dev/null 2>"$work/event/channel.txt" | tr -d '\r')"
  expect event "the event's inserts" "\"written\"|\"0x00000000\"|\"0x1B\"|\"$sha\"|\"3010\"" \
    "$(grep -a 'eventlog:ReportEventW' "$work/event/channel.txt" | sed -n 's/.*ReportEventW \(L".*"\)$/\1/p' | sed 's/^L//' | paste -sd'|')"
  expect event "one event" 1 "$(grep -ac 'ReportEventW (' "$work/event/channel.txt")"
  expect event "the source names the exe" 1 \
    "$(wine reg query "$source" /v EventMessageFile </dev/null 2>/dev/null | grep -ac 'TbtFwUpdate.exe')"
}

# The power schemes where Windows keeps them, and the button subgroup's three actions:
# lid closed, power button, sleep button.
readonly schemes='HKLM\SYSTEM\CurrentControlSet\Control\Power\User\PowerSchemes'
readonly scheme=381b4222-f694-41f0-9685-ff5bb260df2e buttons=4f971e89-eebd-4455-a8de-9e59040e7347
readonly button_actions=(5ca83367-6e45-459f-a27b-476b1d01c936 7648efa3-dd9c-4e3e-b566-50f929386280
  96996bc0-ad50-47ec-923b-6f41874dd9eb)

# LID_AC LID_DC POWER_AC POWER_DC SLEEP_AC SLEEP_DC: the emulated power management in the
# System32 of a 32-bit program (SysWOW64 in a 64-bit prefix; Wine's own lacks the calls),
# with the active scheme's actions set so. Wine's copy is a hard link into the bench's
# template: moved aside, never written through.
system32_of_tool() {
  local windows=$WINEPREFIX/drive_c/windows
  if [[ -d $windows/syswow64 ]]; then echo "$windows/syswow64"; else echo "$windows/system32"; fi
}
use_power_schemes() {
  local system32 setting
  system32=$(system32_of_tool)
  [[ -e $system32/powrprof.dll.wine ]] || mv "$system32/powrprof.dll" "$system32/powrprof.dll.wine"
  cp "$components/powrprof/powrprof.dll" "$system32/powrprof.dll" || return 1
  wine reg add "$schemes" /v ActivePowerScheme /d "$scheme" /f </dev/null >/dev/null 2>&1 || return 1
  for setting in "${button_actions[@]}"; do
    wine reg add "$schemes\\$scheme\\$buttons\\$setting" /v ACSettingIndex /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1 &&
      wine reg add "$schemes\\$scheme\\$buttons\\$setting" /v DCSettingIndex /t REG_DWORD /d "$2" /f </dev/null >/dev/null 2>&1 ||
      return 1
    shift 2
  done
}

# Wine's own powrprof.dll back in place.
drop_power_schemes() {
  local system32
  system32=$(system32_of_tool)
  [[ -e $system32/powrprof.dll.wine ]] && mv -f "$system32/powrprof.dll.wine" "$system32/powrprof.dll"
}

# The active scheme's three actions as they read now, "AC/DC" each: "1/1 3/2 1/2".
read_button_actions() {
  local setting name type value ac dc out=()
  for setting in "${button_actions[@]}"; do
    ac='' dc=''
    while read -r name type value; do
      [[ $type == REG_DWORD ]] || continue
      [[ $name == ACSettingIndex ]] && ac=$((value))
      [[ $name == DCSettingIndex ]] && dc=$((value))
    done < <(wine reg query "$schemes\\$scheme\\$buttons\\$setting" </dev/null 2>/dev/null | tr -d '\r')
    out+=("$ac/$dc")
  done
  echo "${out[*]}"
}

# The lid and the power and sleep buttons do nothing while the image is written (8 seconds)
# and are put back after; a suspend announced anyway is logged. A run killed mid-write
# leaves them changed, with a marker, and the next start of the tool (a check) restores
# them.
case_sleep_hold() {
  local app runner log pid overrides="$WINEDLLOVERRIDES;powrprof=n"
  app=$(prepare sleep-hold 0x1A img-156D.bin 'update_ms = 8000') || { expect sleep-hold prepared yes no; return; }
  use_power_schemes 1 1 3 2 1 2 || { expect sleep-hold "power schemes" yes no; return; }
  log="$app/run.log"
  WINEDLLOVERRIDES=$overrides run_tool_counted "$app" /silent /log:run.log >"$work/sleep-hold/exit.txt" &
  runner=$!
  poll 600 grep -qs 'do nothing during the write' "$log" || expect sleep-hold "held" yes no
  expect sleep-hold "during the write" "0/0 0/0 0/0" "$(read_button_actions)"
  probe suspend "Vanto Thunderbolt Firmware Update (unattended)" || expect sleep-hold "suspend sent" yes no
  expect sleep-hold "still writing when read" "" "$(lines "$(emulated_out)/written-images.txt")"
  wait "$runner"
  expect sleep-hold "exit code" "exit=3010 windows=0" "$(cat "$work/sleep-hold/exit.txt")"
  expect_controller_end sleep-hold "$app/data/img-156D.bin" yes
  expect sleep-hold "after the write" "1/1 3/2 1/2" "$(read_button_actions)"
  expect sleep-hold "log: held" 1 "$(grep -ac 'do nothing during the write (were lid 1/1, power button 3/2, sleep button 1/2)' "$log")"
  expect sleep-hold "log: suspend" 1 "$(grep -ac 'suspending (PBT_APMSUSPEND) during the update' "$log")"
  expect sleep-hold "log: restored" 1 "$(grep -ac 'power scheme restored: lid 1/1, power button 3/2, sleep button 1/2' "$log")"
  # Six actions set to nothing and six put back, each time applied.
  expect sleep-hold "the calls" "12 2" \
    "$(grep -acE '^PowerWrite(AC|DC)ValueIndex' "$(emulated_out)/powrprof-calls.txt") $(grep -ac '^PowerSetActiveScheme' "$(emulated_out)/powrprof-calls.txt")"
  expect sleep-hold "no marker left" "" "$(record_value HeldPowerActions)"

  app=$(prepare sleep-killed 0x1A img-156D.bin 'update_ms = 120000') || { expect sleep-killed prepared yes no; return; }
  log="$app/run.log"
  (cd "$app" && WINEDLLOVERRIDES=$overrides exec wine TbtFwUpdate.exe /silent /log:run.log </dev/null >/dev/null 2>&1) &
  pid=$!
  poll 600 grep -qs 'do nothing during the write' "$log" || expect sleep-killed "held" yes no
  { kill -KILL "$pid" && wait "$pid"; } 2>/dev/null
  not_running "$pid" || expect sleep-killed "killed" yes no
  expect sleep-killed "left changed" "0/0 0/0 0/0" "$(read_button_actions)"
  expect sleep-killed "marker left" 1 "$(record_value HeldPowerActions | grep -c .)"
  expect sleep-killed "the next start" "exit=0 windows=0" \
    "$(WINEDLLOVERRIDES=$overrides run_tool_counted "$app" /check /log:check.log)"
  expect sleep-killed "restored" "1/1 3/2 1/2" "$(read_button_actions)"
  expect sleep-killed "log: restored" 1 \
    "$(grep -ac 'power scheme restored after an earlier run left it changed: lid 1/1, power button 3/2, sleep button 1/2' "$app/check.log")"
  expect sleep-killed "no marker left" "" "$(record_value HeldPowerActions)"
  drop_power_schemes
}

# Another program holds the image open while the tool runs: a reader (shared every way)
# does not stop the update; a writer (which shares with readers only) makes it a retry,
# 1618, with the system's reason logged and nothing written.
case_image_held() {
  local app holder kind code
  for kind in reader writer; do
    app=$(prepare "image-held-$kind" 0x1A img-156D.bin) || { expect "image-held-$kind" prepared yes no; continue; }
    cp "$hold_file" "$app/hold_file.exe"
    (cd "$app" && exec wine hold_file.exe "$kind" 240000 'data\img-156D.bin' </dev/null 2>/dev/null \
       >"$work/image-held-$kind/held.txt") &
    holder=$!
    poll 300 grep -qs '^held' "$work/image-held-$kind/held.txt" || expect "image-held-$kind" "held" yes no
    code=$([[ $kind == reader ]] && echo 3010 || echo 1618)
    expect "image-held-$kind" "exit code" "exit=$code windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
    { kill "$holder" && wait "$holder"; } 2>/dev/null
    if [[ $kind == reader ]]; then
      expect "image-held-$kind" "image received" "" "$(received_only "$app/data/img-156D.bin")"
    else
      expect "image-held-$kind" "nothing written" "" "$(lines "$(emulated_out)/written-images.txt")"
      expect "image-held-$kind" "the reason" 1 "$(grep -ac 'image: 0x10430014' "$app/run.log")"
      expect "image-held-$kind" "the system's reason" 1 "$(grep -ac 'CreateFileW.*0x00000020' "$app/run.log")"
    fi
  done
}

# Update.ini's error text replaced by the success text: a refused image's run still says
# it failed, in the log's status line (always the program's own English) and exit code.
case_spoofed_ini() {
  local app success
  app=$(prepare spoofed-ini 0x1A img-156D-src0-80.bin) || { expect spoofed-ini prepared yes no; return; }
  success=$(iconv -f UTF-16 -t UTF-8 "$app/data/Update.ini" | sed -n '/^\[English\]/,/^\[/s/^IDS_SUCCESS=//p' | tr -d '\r')
  iconv -f UTF-16 -t UTF-8 "$app/data/Update.ini" | sed "s/^IDS_ERROR=.*/IDS_ERROR=$success/" |
    iconv -f UTF-8 -t UTF-16 >"$app/data/spoofed.ini" && mv "$app/data/spoofed.ini" "$app/data/Update.ini"
  expect spoofed-ini "the INI spoofed" "IDS_ERROR=$success" "$(iconv -f UTF-16 -t UTF-8 "$app/data/Update.ini" | grep -m1 '^IDS_ERROR=' | tr -d '\r')"
  expect spoofed-ini "exit code" "exit=1603 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
  expect spoofed-ini "the status line" 1 \
    "$(grep -ac 'status 0x10430006: The firmware update failed. Restart the computer and try again. If it fails again, contact support and give this code (0X10430006)' "$app/run.log")"
  expect spoofed-ini "no success said" 0 "$(grep -ac 'updated successfully' "$app/run.log")"
  # A program pinned to the shipped texts does not run with any other.
  cp "$pinned_tool" "$app/TbtFwUpdate.exe"
  expect spoofed-ini "pinned: refused" "exit=1620 windows=0" "$(run_tool_counted "$app" /silent /log:pinned.log)"
  expect spoofed-ini "pinned: the log says why" 1 "$(grep -ac 'data\\Update.ini: not the texts this program is pinned to' "$app/pinned.log")"
}

# A package others than the administrators can change is refused before the controller
# is touched: Wine reports a Unix mode's "other" bits as Everyone's rights, so o+w on a
# folder or file of the package is what a writable ProgramData or C:\Temp is on Windows.
# A planted 0.bin in a data folder anyone may write to, an image anyone may write, each
# with the unpinned and the pinned build; the same package made admin-only writes.
case_writable_package() {
  local app program case_name
  for program in "$tool" "$pinned_tool"; do
    case_name=writable-package-$([[ $program == "$pinned_tool" ]] && echo pinned || echo unpinned)
    app=$(prepare "$case_name" 0x1A img-156D.bin) || { expect "$case_name" prepared yes no; continue; }
    cp "$program" "$app/TbtFwUpdate.exe"
    cp "$app/data/img-156D.bin" "$app/data/0.bin" && printf 'planted' >>"$app/data/0.bin"
    chmod o+w "$app/data"
    expect "$case_name" "planted image" "exit=1620 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
    expect "$case_name" "the log says what and who" 1 \
      "$(grep -ac 'the package is not as the administrators deployed it: .*\\data: Everyone (S-1-1-0) may change it: nothing done' "$app/run.log")"
    rm "$app/data/0.bin" && chmod o-w "$app/data" && chmod o+w "$app/data/img-156D.bin"
    expect "$case_name" "writable image" "exit=1620 windows=0" "$(run_tool_counted "$app" /silent /log:run2.log)"
    expect "$case_name" "the log names the image" 1 \
      "$(grep -ac 'deployed it: .*\\data\\img-156D.bin: Everyone (S-1-1-0) may change it' "$app/run2.log")"
    expect "$case_name" "the controller untouched" "" "$(power_requests)"
    expect "$case_name" "nothing written" "" "$(lines "$(emulated_out)/written-images.txt")"
    chmod o-w "$app/data/img-156D.bin"
    expect "$case_name" "admin-only" "exit=3010 windows=0" "$(run_tool_counted "$app" /silent)"
    expect "$case_name" "image received" "" "$(received_only "$app/data/img-156D.bin")"
  done
}

# data/ holding a symbolic link named like an image to one outside the folder: the image's
# final path is not in the data folder, so there is no image and nothing is written.
case_linked_image() {
  local app
  app=$(prepare linked-image 0x1A img-156D.bin) || { expect linked-image prepared yes no; return; }
  mv "$app/data/img-156D.bin" "$work/linked-image/outside.bin"
  ln -s "$work/linked-image/outside.bin" "$app/data/img-156D.bin"
  expect linked-image "exit code, no window" "exit=1603 windows=0" "$(run_tool_counted "$app" /silent /log:run.log)"
  expect_controller_end linked-image "$work/linked-image/outside.bin" no
  expect linked-image "no image" 1 "$(grep -ac '^.\{24\}image: 0x10430005' "$app/run.log")"
}

mkdir -p "$work/samples"
(cd "$work" && wine "$samples" samples </dev/null >/dev/null 2>&1) || { echo "FAIL nvm-samples"; exit 1; }

for case in "$@"; do
  case $case in
    silent-newer) unattended_case silent-newer 0x1A img-156D.bin /silent 3010 yes ;;
    silent-older) unattended_case silent-older 0x30 img-156D.bin /silent 0 no ;;
    field-mismatch) case_field_mismatch ;;
    check-newer) unattended_case check-newer 0x1A img-156D.bin /check 0 no ;;
    check-equal) unattended_case check-equal 0x1B img-156D.bin /check 1 no ;;
    check-older) unattended_case check-older 0x30 img-156D.bin /check 2 no ;;
    two-copies) case_two_copies ;;
    shutdown) case_shutdown ;;
    session-end) case_session_end ;;
    squatters) case_squatters ;;
    window-codes) case_window_codes ;;
    log-guards) case_log_guards ;;
    dot-local) case_dot_local ;;
    hostile-data) case_hostile_data ;;
    big-image) case_big_image ;;
    linked-image) case_linked_image ;;
    native-mismatch) case_mode_mismatch native-mismatch img-1578-native.bin "Native enumeration" ;;
    flash-mismatch) case_mode_mismatch flash-mismatch img-1578-flash.bin "Flash size" ;;
    two-boards) case_two_boards ;;
    two-fit) case_two_fit ;;
    unplugged) case_unplugged ;;
    rerun) case_rerun ;;
    attempts) case_attempts ;;
    event) case_event ;;
    sleep-hold) case_sleep_hold ;;
    writable-package) case_writable_package ;;
    image-held) case_image_held ;;
    spoofed-ini) case_spoofed_ini ;;
    # The controller already runs the image's version: nothing written, nothing to do.
    already-current) unattended_case already-current 0x1B img-156D.bin /silent 0 no ;;
    *) expect "$case" "known case" yes no ;;
  esac
done

checks_summary "$*"
