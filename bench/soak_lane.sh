#!/usr/bin/env bash
# One lane of the reliability soak: RUNS randomly drawn scenarios, one after another, with
# the unmodified tool on the emulated controller in this bench's prefix and screen. Each
# outcome is checked against what the scenario's parts should lead to (soak_oracle.sh).
# Run inside tests/wine/bench.sh (DISPLAY and WINEPREFIX set).
# Usage: soak_lane.sh LANE SEED RUNS WORK BENCH_ENV (BENCH_ENV: tests/lib/bench_env.sh)
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
# shellcheck source=../tests/lib/bench_env.sh
source "$repo/tests/lib/bench_env.sh"
read_bench_env "$5" || exit 2
lane=$1 seed=$2 runs=$3 work=$4
# shellcheck source=../tests/lib/tool_session.sh
source "$repo/tests/lib/tool_session.sh"
# shellcheck source=soak_oracle.sh
source "$here/soak_oracle.sh"

# The soak draws its language at random, so its expected texts come from tbtfw-check's
# reading of tool_ini (the tool's own lookup) rather than a table; the end-to-end cases
# check the texts themselves against literals. An empty answer is a failure, never a match.
# LCID NAME / LCID STATUS: a text, or the message for a status, in language LCID (hex).
lookup_text() { wine_output "$check_exe" text --ini "$tool_ini" --lang "$1" "$2" | grep .; }
lookup_message() { wine_output "$check_exe" message --ini "$tool_ini" --lang "$1" "$2" | grep .; }
RANDOM=$seed
failures=0
languages=(409 407 40C 411 804 404)

# VAR ITEM...: sets VAR to one of the items. Drawn in this shell, not in a $(...) subshell,
# which reseeds RANDOM: the same seed then draws the same runs.
pick() { local a=("${@:2}"); printf -v "$1" '%s' "${a[RANDOM % ${#a[@]}]}"; }

# The sample writer runs natively, or under Wine when it is a Windows program (as in the
# Windows build tree).
helper() { if [[ $1 == *.exe ]]; then wine "$@" </dev/null 2>/dev/null | tr -d '\r'; else "$@"; fi; }

mkdir -p "$work/samples"
(cd "$work" && helper "$samples" samples >/dev/null)

version="" image="" lang="" fault="" method="" value="" reply=""
for run in $(seq 1 "$runs"); do
  pick version "${soak_versions[@]}"; pick image "${soak_images[@]}"; pick lang "${languages[@]}"
  extra=() args="/LID:$lang" fault=none return=none reply=none downgradable=0
  (( RANDOM % 4 == 0 )) && args="$args /downgradable" && downgradable=1
  if (( RANDOM % 10 < 6 )); then pick fault "${soak_faults[@]}"; extra+=("[faults]" "$fault = 1"); fi
  if (( RANDOM % 10 == 0 )); then
    pick method "${soak_methods[@]}"; pick value "${soak_values[@]}"
    extra+=("[return_values]" "$method = $value"); return="$method=$value"
  fi
  if (( RANDOM % 10 == 0 )); then pick reply "${soak_replies[@]}"; extra+=("[replies]" "$reply"); fi
  name="lane$lane-run$run"
  dir="$work/$name"
  write_scenario "$dir" "$work/samples" "$version" "${extra[@]}"
  lay_out_tool "$dir/app" "$tool" "$tool_ini" "$work/samples/$image" firmware.bin
  expected=$(soak_outcome "$version" "$image" "$downgradable" "$fault" "$return" "$reply") || exit 2
  status=${expected#status=}; status=${status%% *}; written=${expected##*written=}
  problems=()

  bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$dir/scenario.ini" >/dev/null 2>&1 || problems+=("install failed")
  # shellcheck disable=SC2086  # ARGS is a word list
  tool_lang=en_US.UTF-8 start_tool "$dir/app" $args
  if wait_window 60000; then
    click "$id_update" || problems+=("Update could not be clicked")
    # Bounded at a minute, wait for the end state the expected outcome leads to: the
    # shut-down buttons in place of Exit, or Exit usable. (On success Exit is enabled a
    # moment before it is hidden, so an enabled Exit alone is no end state.)
    poll 600 settled "$status"
    if [[ $status == 0x10430001 ]]; then
      want=$(lookup_text "$lang" IDS_FIND_NO_HVK) || problems+=("no expected text IDS_FIND_NO_HVK")
    else
      want=$(lookup_message "$lang" "$status") || problems+=("no expected message for $status")
    fi
    if got=$(control "$id_message"); then
      got=${got#*text=}
      [[ "$got" == "$want" ]] || problems+=("message: $got")
    else
      problems+=("the message could not be read")
    fi
    if [[ $status == "$status_success" ]]; then
      shown "$id_shutdown_now" && shown "$id_shutdown_later" && hidden "$id_exit" || problems+=("shut-down buttons not offered")
    else
      shown "$id_exit" && hidden "$id_shutdown_now" || problems+=("Exit not offered")
    fi
    received=$(lines "$(emulated_out)/written-images.txt")
    if [[ $written == 1 ]]; then
      [[ -z "$(received_only "$dir/app/data/firmware.bin")" ]] || problems+=("image not received whole: $received")
    else
      [[ -z "$received" ]] || problems+=("written although refused: $received")
    fi
    power=$(power_requests)
    if [[ $status == 0x10430001 ]]; then
      [[ -z "$power" ]] || problems+=("power requests without a device: $power")
    else
      [[ "$power" == "$power_on_off" ]] || problems+=("power requests: $power")
    fi
    click "$([[ $status == "$status_success" ]] && echo "$id_shutdown_later" || echo "$id_exit")" || problems+=("the last button could not be clicked")
  else
    problems+=("no window")
  fi
  ended "$tool_pid" || problems+=("the tool did not end")

  summary="$name v=$version image=$image lang=$lang args='$args' fault=$fault return=$return reply=$reply expected=$status written=$written"
  if ((${#problems[@]})); then
    failures=$((failures + 1))
    printf 'FAIL %s\n' "$summary"
    printf '     %s\n' "${problems[@]}"
  else
    printf 'ok   %s\n' "$summary"
  fi
  rm -rf "$dir"
done
exit $((failures > 0))
