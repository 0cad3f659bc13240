#!/usr/bin/env bash
# The screenshots README and the documents show (docs/screenshots), made from the running
# tool of the Windows build under Wine: the window cut from the screen in each state they
# show, at half scale (a 1920 x 1080 desktop) and once at full scale. Run it again whenever
# the texts or the artwork change; tests/e2e/screenshots_test.sh fails while a published
# screenshot no longer matches what this makes.
# Usage: screenshots.sh [OUT]                           (OUT: docs/screenshots; builds first)
#        screenshots.sh --shoot BENCH_ENV WORK OUT      (a built tree's, in a Wine prefix
#                                                        in WORK; nothing built)
set -u -o pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=../tests/lib/bench_env.sh
source "$root/tests/lib/bench_env.sh"
# shellcheck source=../tests/lib/tool_session.sh
source "$root/tests/lib/tool_session.sh"

# NAME: the tool's window as OUT/NAME.png, in 256 colours (the window holds few).
window_shot() {
  local x y w h
  read -r x y w h < <(probe rect "$tool_title") || return 1
  screenshot "$work/screen.png" &&
    convert "$work/screen.png" -crop "${w}x${h}+${x}+${y}" +repage -colors 256 "PNG8:$out/$1.png"
}

# ID NAME: control ID with the two pixels around it (its focus ring) as OUT/NAME.png.
ring_shot() { control_shot "$1" "$work/control.png" && convert "$work/control.png" -colors 256 "PNG8:$out/$2.png"; }

# LOCALE ARGS...: starts the tool from the package and waits for its first frame.
open_window() {
  tool_lang=$1 start_tool "$work/app" "${@:2}"
  if ! wait_window 60000 || ! poll 100 on_screen "$tool_title"; then
    echo "no window for ${*:2}" >&2
    return 1
  fi
  # The first frame is composed before the window shows; give the screen one beat.
  sleep 0.5
}

# Closes the window and waits for the tool to end.
close_window() { probe close "$tool_title" >/dev/null && ended "$tool_pid"; }

# Inside the bench at SIZE: every screenshot of that size.
shoot() {
  local size=$1
  if [[ ! -f $work/app/data/img-156D.bin ]]; then
    if ! (cd "$work" && wine "$samples" samples </dev/null >/dev/null 2>&1) ||
       ! cp "$work/samples/img-156D.bin" "$work/app/data/"; then
      echo "the samples could not be written" >&2
      return 1
    fi
  fi
  if [[ $size == 2560x1440 ]]; then
    open_window en_US.UTF-8 && window_shot ready-en-full && close_window
    return
  fi
  open_window en_US.UTF-8 && window_shot ready-en-half || return 1
  press Tab Tab && poll 20 focused "$id_update" && ring_shot "$id_update" focus-update-half && close_window || return 1
  open_window ja_JP.UTF-8 /LID:411 && window_shot ready-ja-half && close_window || return 1
  open_window zh_TW.UTF-8 /LID:404 && window_shot ready-zh-half && close_window || return 1
  # No ACPI driver in this prefix yet: the refusal, in French.
  open_window en_US.UTF-8 /LID:40C && click "$id_update" && poll 50 usable "$id_close" && window_shot no-driver-fr-half &&
    close_window || return 1
  # The emulated controller: the update running (the busy indicator's frame is the one of
  # the moment) and its outcome.
  write_scenario "$work/scenario" "$work/samples" 0x1A &&
    bash "$root/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$work/scenario/scenario.ini" >/dev/null || return 1
  open_window en_US.UTF-8 && click "$id_update" && poll 200 shown "$id_spinner" && window_shot updating-half || return 1
  poll 600 settled "$status_success" && window_shot succeeded-half || return 1
  click "$id_shutdown_later" && ended "$tool_pid"
}

if [[ ${1:-} == --inside ]]; then
  read_bench_env "$2" || exit 1
  work=$3 out=$4
  shoot "$5"
  exit
fi

if [[ ${1:-} == --shoot ]]; then
  env_file=$(realpath "$2") work=$(realpath -m "$3") out=$(realpath -m "$4")
else
  cd "$root" || exit 1
  cmake --preset windows >/dev/null && cmake --build --preset windows -j2 >/dev/null || exit 1
  env_file=$root/build/windows/tests/bench.env work=$root/build/screenshots-work out=$(realpath -m "${1:-$root/docs/screenshots}")
fi
read_bench_env "$env_file" || exit 1
rm -rf "$work" && mkdir -p "$work/samples" "$out" || exit 1
lay_out_tool "$work/app" "$tool" "$tool_ini" || exit 1
for size in 1920x1080 2560x1440; do
  bash "$root/tests/wine/bench.sh" run "$work/prefix" "$size" -- bash "$0" --inside "$env_file" "$work" "$out" "$size" ||
    { echo "screenshots at $size failed" >&2; exit 1; }
done
echo "$out"
