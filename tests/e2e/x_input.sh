# shellcheck shell=bash
# Sourced by the black-box tests: clicks and key presses through the X server, as a person
# gives them, so a hidden or disabled control cannot react. Needs DISPLAY and a function
# `probe` that runs the window probe (for the controls' places on the screen).

# TITLE ID: a left click in the middle of control ID of the window titled TITLE. False
# when the window or the control is not there.
click() {
  local rect x y w h
  rect=$(probe rect "$1" "$2") || return 1
  read -r x y w h <<<"$rect"
  [[ -n "${h:-}" ]] || return 1
  # The X server handles one client's requests in order: the click lands where the move went.
  timeout 10 xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
}

# TITLE KEYS...: key presses (xdotool names such as Escape or alt+F4) to the window titled
# TITLE. There is no window manager under Xvfb, so the X focus is set on the window's own
# X window first; Wine then hands the keys to its focus control. False when the window is
# not there.
press() {
  local title=$1 window
  shift
  window=$(xdotool search --name "^${title}\$" | head -n 1)
  [[ -n "$window" ]] || return 1
  timeout 10 xdotool windowfocus --sync "$window" key "$@"
}
