#!/usr/bin/env bash
# One update by the unmodified tool on the emulated controller, watched from outside on a
# virtual screen: installs the controller, starts the tool from a folder laid out as it
# ships, presses Update, saves a screenshot of each state (ready, updating, outcome) and
# prints the messages, the power requests the driver received and the image the
# controller received beside the image shipped. scripts/run-tool.sh runs it when there is
# no display. Run inside tests/wine/bench.sh (DISPLAY and WINEPREFIX set).
# Usage: headless_update.sh COMPONENTS SCENARIO APP WINDOW_PROBE SHOTS [TOOL ARGS...]
#   COMPONENTS, SCENARIO: as emulator/prefix.sh install takes them; APP: the tool laid out
#   as it ships, its image data/firmware.bin; SHOTS: the folder for the screenshots.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/.." && pwd)
components=$1 scenario=$2 app=$3 window_probe=$4 shots=$5
shift 5
# shellcheck source=../tests/lib/tool_session.sh
source "$repo/tests/lib/tool_session.sh"

# The message the window shows, indented.
show_message() {
  local state
  state=$(control "$id_message")
  sed -n 's/^id=[0-9]* visible=1 enabled=1 text=/  /p' <<<"$state"
}
# True once the run has an outcome: Exit or the shut-down buttons usable.
outcome_shown() { usable "$id_exit" || usable "$id_shutdown_now"; }

bash "$repo/emulator/prefix.sh" install "$WINEPREFIX" "$components" "$scenario"
start_tool "$app" "$@"
wait_window 30000 || { echo "the window did not appear"; exit 1; }
sleep 1  # the first frame reaches the screen
screenshot "$shots/1-ready.png"
echo "Ready:"; show_message
echo "Pressing Update; the tool waits 10 s for the service and 10 s after writing..."
click "$id_update"
poll 50 shown "$id_spinner" || echo "No busy indicator."
sleep 0.5  # its first frames reach the screen
screenshot "$shots/2-updating.png"
poll 600 outcome_shown || echo "No outcome within a minute."
screenshot "$shots/3-outcome.png"
echo "Outcome:"; show_message
echo "The emulated controller received:"
print_received
echo "  the image shipped in data/: $(sha256sum "$app/data/firmware.bin" | cut -d' ' -f1) $(stat -c %s "$app/data/firmware.bin")"
if shown "$id_shutdown_later"; then click "$id_shutdown_later"; else click "$id_exit"; fi
wait_window_gone 10000 || echo "The window did not close within ten seconds."
