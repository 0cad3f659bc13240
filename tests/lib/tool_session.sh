# shellcheck shell=bash
# A session with the unmodified TbtFwUpdate.exe under Wine, driven and read from outside as
# a person would use it: the tool started from a folder laid out as it ships, its window
# read through the window probe (window_probe.cpp), clicks and key presses given through
# the X server, and what the emulated controller received read back from the prefix.
#
# Sourced by the Wine end-to-end tests, the soak, the benches and scripts/headless_update.sh.
# What touches Wine needs DISPLAY and WINEPREFIX (inside tests/wine/bench.sh run); what
# reads the window needs window_probe set to the probe's path.

# The window's title, IDS_TITLE in the run's language: English until start_tool sets it
# from the run's /LID: switch.
readonly tool_title_english="Vanto Thunderbolt Firmware Update Tool"
tool_title=$tool_title_english

# INI LCID: IDS_TITLE of language LCID (hex) in the UTF-16 profile file INI, found through
# its [Language] table, or the English one; empty when there is none. Only for finding the
# window: what the title says is checked against literals (expected_text).
title_in() {
  local ini=$1 lcid
  local hex=${2#0x}
  [[ $hex =~ ^[0-9A-Fa-f]{1,8}$ ]] && lcid=$(printf '0x%X' "$((16#$hex & 0xFFFF))") || lcid=0x409
  iconv -f UTF-16LE -t UTF-8 "$ini" 2>/dev/null | tr -d '\r' | awk -v id="$lcid" '
    /^\[/ { current = substr($0, 2, length($0) - 2); next }
    current == "Language" && toupper(substr($0, 1, index($0, "=") - 1)) == toupper(id) {
      section = substr($0, index($0, "=") + 1)
    }
    index($0, "IDS_TITLE=") == 1 { title[current] = substr($0, 11) }
    END { if (!(section in title)) section = "English"; print title[section] }'
}

# APP ARGS...: the title the tool's window will have when started from APP with ARGS.
title_for_run() {
  local app=$1 lcid=409 arg title
  shift
  for arg in "$@"; do
    [[ ${arg^^} == /LID:* ]] && lcid=${arg:5}
  done
  title=$(title_in "$app/data/Update.ini" "$lcid")
  echo "${title:-$tool_title_english}"
}

# NAME: the value of `#define NAME` in the header the dialog template and the code share.
control_id() {
  local header
  header=$(dirname "${BASH_SOURCE[0]}")/../../resources/control_ids.h
  awk -v name="$1" '$1 == "#define" && $2 == name { print $3; found = 1 } END { exit !found }' "$header" ||
    { echo "no $1 in $header" >&2; return 1; }
}
# The controls' ids, as the template has them.
id_exit=$(control_id IDC_EXIT) && id_close=$(control_id IDC_CLOSE) &&
  id_prompt_icon=$(control_id IDC_PROMPT_ICON) && id_illustration=$(control_id IDC_ILLUSTRATION) &&
  id_caution_icon=$(control_id IDC_CAUTION_ICON) && id_update=$(control_id IDC_UPDATE) &&
  id_message=$(control_id IDC_MESSAGE) && id_caution=$(control_id IDC_CAUTION) &&
  id_spinner=$(control_id IDC_SPINNER) && id_shutdown_now=$(control_id IDC_SHUTDOWN_NOW) &&
  id_shutdown_later=$(control_id IDC_SHUTDOWN_LATER) && id_title=$(control_id IDC_TITLE) &&
  id_subtitle=$(control_id IDC_SUBTITLE) || exit 1
# shellcheck disable=SC2034  # each is for the scripts that source this file
readonly id_exit id_close id_prompt_icon id_illustration id_caution_icon id_update id_message id_caution \
  id_spinner id_shutdown_now id_shutdown_later id_title id_subtitle
# The status of a run that wrote the image: the window then offers to shut down.
readonly status_success=0x00000000
# The driver's requests in a run that reaches the controller: power on, then off.
# shellcheck disable=SC2034
readonly power_on_off="DEVS 0x00060057 0x00000001,DEVS 0x00060057 0x00000000"

# TRIES CMD...: runs CMD until it succeeds, at most TRIES times a tenth of a second apart;
# false when it never did. The bound counts tries rather than seconds: on a loaded machine
# each try takes longer, and a slow run is not cut short.
poll() {
  local tries=$1 try
  shift
  for ((try = 1; try <= tries; try++)); do
    "$@" && return 0
    ((try == tries)) || sleep 0.1
  done
  return 1
}

# PID: true when process PID is not running.
not_running() { ! kill -0 "$1" 2>/dev/null; }

# PID [TRIES]: true once process PID has ended, polled TRIES times (100 by default, ten
# seconds); when it has not, stops it and is false.
ended() {
  poll "${2:-100}" not_running "$1" && return 0
  kill "$1" 2>/dev/null
  return 1
}

# PROGRAM ARGS...: a Windows program's output without carriage returns, and its status.
# The programs read here exit with small codes, which Wine's 8-bit exit status holds whole.
wine_output() {
  local out status=0
  out=$(wine "$@" </dev/null 2>/dev/null) || status=$?
  out=${out//$'\r'/}
  [[ -z $out ]] || printf '%s\n' "$out"
  return "$status"
}

# COMMAND TITLE [ARGS...]: the window probe's answer (see window_probe.cpp) and its status,
# false when the window is not there or the probe did not run: an unreadable window never
# reads as an empty state.
probe() { wine_output "${window_probe:?window_probe names the window probe}" "$@"; }

# ARGS...: the MSAA probe's answer (see msaa_probe.cpp), which lies beside the window probe.
msaa() { wine_output "$(dirname "${window_probe:?}")/msaa_probe.exe" "$@"; }

# Roles and states of MSAA, as the probe prints them.
# shellcheck disable=SC2034
readonly role_graphic=0x28 role_static_text=0x29 role_push_button=0x2b role_animation=0x36 \
  state_unavailable=0x1 state_focused=0x4 state_invisible=0x8000 state_focusable=0x100000

# ID: control ID as a screen reader reads it, "role=0xR state=0xS action=A name=..."; false
# and nothing printed when it cannot be read.
accessible() {
  local list
  list=$(msaa read "$tool_title") || return 1
  grep -m 1 "^id=$1 " <<<"$list" | cut -d' ' -f2-
}

# ID STATE: true when control ID's accessible state holds the bit STATE.
has_state() {
  local facts
  facts=$(accessible "$1") || return 1
  [[ $facts =~ state=(0x[0-9a-f]+) ]] && (((BASH_REMATCH[1] & $2) != 0))
}
focused() { has_state "$1" "$state_focused"; }

# ID FILE: the place of control ID with the two pixels around it (where its focus ring
# goes), cut from a new screenshot into FILE.
control_shot() {
  local x y w h
  read -r x y w h < <(probe rect "$tool_title" "$1") || return 1
  [[ -n "${h:-}" ]] || return 1
  import -window root -crop "$((w + 4))x$((h + 4))+$((x - 2))+$((y - 2))" +repage "$2"
}

# FILE FILE: true when two pictures differ in any pixel.
pictures_differ() {
  compare -metric AE "$1" "$2" null: 2>/dev/null
  [[ $? == 1 ]]
}

# MS: true once the tool's window exists, waited for up to MS milliseconds.
wait_window() { probe wait "$tool_title" "$1" >/dev/null; }

# MS: true once the tool's window is gone, waited for up to MS milliseconds.
wait_window_gone() { probe gone "$tool_title" "$1" >/dev/null; }

# MS: true when the tool's window is still there after MS milliseconds, and is seen there.
window_stays() { ! wait_window_gone "$1" && [[ "$(probe count "$tool_title")" == 1 ]]; }

# TITLE: true when the X server shows the window titled TITLE (mapped and viewable).
on_screen() { [[ "$(xwininfo -name "$1" 2>/dev/null)" == *IsViewable* ]]; }

# ID: control ID's state, "id=ID visible=0|1 enabled=0|1 text=TEXT"; false and nothing
# printed when the window or the control cannot be read.
control() {
  local list
  list=$(probe list "$tool_title") || return 1
  grep -m 1 "^id=$1 " <<<"$list"
}

# ID: "1" when control ID is shown, "0" when it is hidden; false and nothing printed when
# it cannot be read.
visible() {
  local state
  state=$(control "$1") || return 1
  if [[ $state == "id=$1 visible=1 "* ]]; then echo 1; else echo 0; fi
}
shown() { [[ "$(visible "$1")" == 1 ]]; }
hidden() { [[ "$(visible "$1")" == 0 ]]; }
# ID: true when control ID is shown and enabled.
usable() { [[ "$(control "$1")" == "id=$1 visible=1 enabled=1 "* ]]; }

# STATUS: true once the window shows the end of a run that ended with STATUS: after success
# the shut-down buttons in place of Exit, otherwise Exit usable. On success Exit is enabled
# a moment before the shut-down buttons replace it, so Exit usable alone is no end state.
settled() {
  if [[ $1 == "$status_success" ]]; then
    shown "$id_shutdown_now" && shown "$id_shutdown_later" && hidden "$id_exit"
  else
    usable "$id_exit"
  fi
}

# ID: a left click in the middle of control ID of the tool's window, through the X server
# as a person gives it, so a hidden or disabled control cannot react. False when the window
# or the control is not there.
click() {
  local rect x y w h
  rect=$(probe rect "$tool_title" "$1") || return 1
  read -r x y w h <<<"$rect"
  [[ -n "${h:-}" ]] || return 1
  # The X server handles one client's requests in order: the click lands where the move went.
  timeout 10 xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}

# KEYS...: key presses (xdotool names such as Escape or alt+F4) to the tool's window. There
# is no window manager under Xvfb, so the X focus is set on the window's own X window
# first; Wine then hands the keys to its focus control. False when the window is not there.
press() {
  local window
  window=$(xdotool search --name "^${tool_title}\$" | head -n 1)
  [[ -n "$window" ]] || return 1
  timeout 10 xdotool windowfocus --sync "$window" key "$@"
}

# APP TOOL INI [IMAGE [NAME]]: APP laid out as the tool ships: TOOL as APP/TbtFwUpdate.exe,
# INI as APP/data/Update.ini and IMAGE in APP/data, named NAME when given.
lay_out_tool() {
  local app=$1 tool=$2 ini=$3 image=${4:-}
  mkdir -p "$app/data" && cp "$tool" "$app/TbtFwUpdate.exe" && cp "$ini" "$app/data/Update.ini" || return 1
  [[ -z $image ]] || cp "$image" "$app/data/${5:-$(basename "$image")}"
}

# counted|alone ARGS...: sets tool_command to the command that runs the tool with ARGS in
# its folder, under exit_code_probe_win32.exe (beside the tool) when counted, and in the
# system language tool_lang (LANG and LC_ALL) when that is set, else in the caller's. With
# tool_power_supply set (a folder laid out as Linux's /sys/class/power_supply), the tool
# runs in a mount namespace of its own where that folder is the computer's power supplies,
# which Wine reports as the system's power state (needs root).
tool_command_for() {
  local how=$1
  shift
  tool_command=(wine TbtFwUpdate.exe "$@")
  [[ $how != counted ]] || tool_command=(wine exit_code_probe_win32.exe TbtFwUpdate.exe "$@")
  [[ -z ${tool_lang:-} ]] || tool_command=(env LANG="$tool_lang" LC_ALL="$tool_lang" "${tool_command[@]}")
  # shellcheck disable=SC2016  # the inner shell expands its own arguments
  [[ -z ${tool_power_supply:-} ]] ||
    tool_command=(unshare -m --propagation private sh -c 'mount --bind "$0" /sys/class/power_supply && exec "$@"'
                  "$tool_power_supply" "${tool_command[@]}")
}

# APP [ARGS...]: starts the tool in the background from APP, laid out as it ships, with no
# input, and sets tool_pid. With tool_exit_file set, the tool runs under the exit-code
# probe, which reads its exit code in full (Wine's exit status keeps only 8 bits) and
# writes "exit=N windows=W" (W: the windows it showed) to that file; otherwise its output
# is dropped.
start_tool() {
  local app=$1 tool_command
  shift
  tool_title=$(title_for_run "$app" "$@")
  if [[ -n ${tool_exit_file:-} ]]; then
    tool_command_for counted "$@"
    (cd "$app" && exec "${tool_command[@]}" </dev/null 2>/dev/null | tr -d '\r' >"$tool_exit_file") &
  else
    tool_command_for alone "$@"
    (cd "$app" && exec "${tool_command[@]}" </dev/null >/dev/null 2>&1) &
  fi
  # shellcheck disable=SC2034  # for the caller
  tool_pid=$!
}

# APP [ARGS...]: runs the tool from APP under the exit-code probe (beside it in APP), bounded
# at five minutes, and prints "exit=N windows=W".
run_tool_counted() {
  local app=$1 tool_command
  shift
  tool_command_for counted "$@"
  (cd "$app" && exec timeout 300 "${tool_command[@]}" </dev/null 2>/dev/null | tr -d '\r')
}

# FILE: a screenshot of the whole screen.
screenshot() { import -window root "$1"; }

# The texts the checks expect, written out as data/Update.ini holds them. Read through the
# tool's own lookup they would agree with a tool that reads no text at all.
# LCID NAME: text NAME in language LCID (hex).
expected_text() {
  case "$1 $2" in
    "409 IDS_TITLE") echo "Vanto Thunderbolt Firmware Update Tool" ;;
    "409 IDS_SUBTITLE") echo "Controller firmware maintenance" ;;
    "409 IDS_UPDATE") echo "Update" ;;
    "409 IDS_EXIT") echo "Exit" ;;
    "409 IDS_CLOSE") echo "Close" ;;
    "409 IDS_PROMPT")
      echo "This tool updates the firmware of the Thunderbolt controller. Connect the AC adapter and close all other programs, then click Update. Do not turn off the computer during the update." ;;
    "409 IDS_CAUTION") echo "The computer is running on battery power. Connect the AC adapter, then click Update again." ;;
    "409 IDS_BUSY") echo "A firmware update is running. Turning the computer off now can damage the Thunderbolt controller." ;;
    "409 IDS_SUCCESS")
      echo "The firmware was updated successfully. Shut down the computer to complete the update, then turn it on again." ;;
    "409 IDS_DOWNGRADE") echo "The controller already has newer firmware than this update. Nothing was changed." ;;
    "409 IDS_FIND_NO_SW")
      echo "The Thunderbolt software could not be reached. Install or repair the Thunderbolt software, restart the computer, then run this tool again." ;;
    "409 IDS_ERROR")
      echo "The firmware update failed. Restart the computer and try again. If it fails again, contact support and give this code" ;;
    "401 IDS_TITLE") echo "تحديث البرنامج الثابت Thunderbolt من Vanto" ;;
    "407 IDS_TITLE") echo "Vanto Thunderbolt-Firmware-Update" ;;
    "407 IDS_BUSY") echo "Eine Firmware-Aktualisierung läuft. Wird der Computer jetzt ausgeschaltet, kann der Thunderbolt-Controller beschädigt werden." ;;
    "411 IDS_BUSY") echo "ファームウェアを更新しています。今コンピューターの電源を切ると、Thunderboltコントローラーが損傷するおそれがあります。" ;;
    "401 IDS_BUSY") echo "جارٍ تحديث البرنامج الثابت. قد يؤدي إيقاف تشغيل الكمبيوتر الآن إلى إتلاف وحدة تحكم Thunderbolt." ;;
    "411 IDS_TITLE") echo "Vanto Thunderbolt ファームウェア更新" ;;
    "411 IDS_SUBTITLE") echo "コントローラー ファームウェアの保守" ;;
    "411 IDS_UPDATE") echo "更新" ;;
    "411 IDS_PROMPT")
      echo "このツールはThunderboltコントローラーのファームウェアを更新します。ACアダプターを接続し、ほかのプログラムをすべて閉じてから［更新］をクリックしてください。更新中はコンピューターの電源を切らないでください。" ;;
    "404 IDS_PROMPT")
      echo "本工具將更新 Thunderbolt 控制器的韌體。請連接 AC 電源轉接器並關閉所有其他程式，然後按一下「更新」。更新期間請勿關閉電腦。" ;;
    "40C IDS_UPDATE") echo "Mettre à jour" ;;
    "40C IDS_EXIT") echo "Quitter" ;;
    "40C IDS_FIND_NO_HVK")
      echo "Le pilote ACPI nécessaire à la mise à jour est introuvable. Installez le pilote ACPI de l'ordinateur portable, puis relancez cet outil." ;;
    *) echo "(no expected text for $1 $2)" ;;
  esac
}

# LCID STATUS: the message the tool shows for STATUS (0x and eight upper-case hexadecimal
# digits) in language LCID: the outcome's own text, else the error text and the code.
expected_message() {
  case $2 in
    0x00000000) expected_text "$1" IDS_SUCCESS ;;
    0x1043000C) expected_text "$1" IDS_DOWNGRADE ;;
    0x10430003) expected_text "$1" IDS_FIND_NO_SW ;;
    *) echo "$(expected_text "$1" IDS_ERROR) (0X${2#0x})" ;;
  esac
}

# CASE WHAT EXPECTED ACTUAL: counts a check in `passed` or `failed`, printing a failure.
expect() {
  if [[ "$3" == "$4" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL [%s] %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3" "$4"
  fi
}

# CASE IMAGE WRITTEN: counts the checks of what the emulated controller was left with: IMAGE
# received byte for byte when WRITTEN is "yes", nothing written otherwise, and powered on
# then off.
expect_controller_end() {
  if [[ $3 == yes ]]; then
    expect "$1" "image received" "" "$(received_only "$2")"
  else
    expect "$1" "nothing written" "" "$(lines "$(emulated_out)/written-images.txt")"
  fi
  expect "$1" "power requests" "$power_on_off" "$(power_requests)"
}

# LABEL: prints the count of checks; false when one failed.
checks_summary() {
  echo "[$1] $passed passed, $failed failed"
  [[ $failed -eq 0 ]]
}

# DIR ONLINE: DIR laid out as Linux's /sys/class/power_supply on a notebook whose adapter
# is plugged in (ONLINE 1) or not (0), with a battery at half charge; writing AC/online
# later unplugs or plugs the adapter while the tool runs.
power_supplies() {
  mkdir -p "$1/AC" "$1/BAT0" || return 1
  printf 'Mains\n' >"$1/AC/type" && printf '%s\n' "$2" >"$1/AC/online" &&
    printf 'Battery\n' >"$1/BAT0/type" && printf '1\n' >"$1/BAT0/present" &&
    printf '%s\n' "$([[ $2 == 1 ]] && echo Charging || echo Discharging)" >"$1/BAT0/status" &&
    printf '50\n' >"$1/BAT0/capacity" && printf '50000000\n' >"$1/BAT0/energy_full" &&
    printf '25000000\n' >"$1/BAT0/energy_now"
}

# --- The emulated controller (emulator/): its scenario and what it received.

# DIR SAMPLES VERSION [SCENARIO LINES...]: DIR/scenario.ini for a controller holding the
# image builder's ctl-156D.dump, or scenario_region when that is set (from the folder
# SAMPLES), at NVM version VERSION.
write_scenario() {
  local dir=$1 samples=$2 version=$3
  shift 3
  mkdir -p "$dir" && cp "$samples/${scenario_region:-ctl-156D.dump}" "$dir/region.bin" || return 1
  {
    printf '[controller]\r\nregion = region.bin\r\nnvm_version = %s\r\n' "$version"
    (($# == 0)) || printf '%s\r\n' "$@"
  } >"$dir/scenario.ini"
}

# The folder of the emulated controller's outputs in the prefix.
emulated_out() { echo "$WINEPREFIX/drive_c/TbtEmulator/out"; }

# FILE: its lines as the Windows side wrote them, without carriage returns; false if none.
lines() { tr -d '\r' 2>/dev/null <"$1"; }

# IMAGE: empty when the controller received exactly IMAGE's bytes, and only those;
# otherwise what it received.
received_only() {
  local image=$1 out sha
  out=$(emulated_out)
  sha=$(sha256sum "$image" | cut -d' ' -f1)
  if [[ "$(lines "$out/written-images.txt")" != "$sha $(stat -c %s "$image")" ]] ||
     ! cmp -s "$image" "$out/written-image-$sha.bin"; then
    echo "received: $(lines "$out/written-images.txt" | paste -sd, -)"
  fi
}

# DIR: a copy of the emulated controller's outputs as DIR/out.
keep_emulated_out() { cp -r "$(emulated_out)" "$1/out"; }

# The power requests the driver received, comma-separated.
power_requests() { lines "$(emulated_out)/acpi-requests.txt" | paste -sd, -; }

# Prints, indented, each power request the driver received and each image written to the
# controller (SHA-256, bytes). False when the driver wrote no requests file.
print_received() {
  local out requests=() images=()
  out=$(emulated_out)
  [[ -f $out/acpi-requests.txt ]] || return 1
  mapfile -t requests < <(lines "$out/acpi-requests.txt")
  mapfile -t images < <(lines "$out/written-images.txt")
  ((${#requests[@]} == 0)) || printf '  ACPI request: %s\n' "${requests[@]}"
  ((${#images[@]} == 0)) || printf '  image (SHA-256, bytes): %s\n' "${images[@]}"
}
