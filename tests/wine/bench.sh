#!/usr/bin/env bash
# The Wine test bench: a throwaway prefix, an Xvfb display, and a teardown that stops only
# what the bench started, by process id.
#
#   bench.sh prefix PREFIX                       create PREFIX once (idempotent, locked)
#   bench.sh services PREFIX                     start the prefix's background services
#   bench.sh run PREFIX WIDTHxHEIGHT -- CMD...   run CMD with DISPLAY and WINEPREFIX set,
#                                                then stop the display and the prefix's server
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

export WINEDEBUG=-all
# No Mono or Gecko installers (nothing here uses .NET or HTML), and no debugger that
# would wait on a crashed test instead of letting it fail.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

ensure_prefix() {
  local prefix
  prefix=$(realpath -m "$1")  # Wine takes only absolute prefixes
  [[ -f "$prefix/.bench-ready" ]] && return 0
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    [[ -f "$prefix/.bench-ready" ]] && exit 0
    rm -rf "$prefix"
    WINEPREFIX="$prefix" wineboot -i >/dev/null 2>&1
    # Font families the window asks for, mapped onto installed fonts.
    local reg="$prefix/fonts.reg"
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$here/fonts.reg.txt"; } >"$reg"
    WINEPREFIX="$prefix" wine regedit /S "$(WINEPREFIX="$prefix" winepath -w "$reg")" >/dev/null 2>&1
    WINEPREFIX="$prefix" wineserver -w
    touch "$prefix/.bench-ready"
  ) 9>"$prefix.lock"
}

# Wine's background services start with the first program of a server and inherit its
# output; started from a program of their own with no output, they cannot hold a test
# runner's pipe open after the test has ended.
start_services() {
  WINEPREFIX="$1" wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

start_display() {  # prints "NUMBER PID"
  local size=$1 fifo
  fifo=$(mktemp -u)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  local pid=$!
  local number
  # Xvfb writes its display number once it accepts connections; bounded wait.
  if ! read -r -t 30 number <"$fifo"; then
    kill "$pid" 2>/dev/null || true
    rm -f "$fifo"
    echo "bench: Xvfb did not start" >&2
    return 1
  fi
  rm -f "$fifo"
  echo "$number $pid"
}

# Stops what `run` started: the prefix's server with its programs, then the display.
teardown() {
  WINEPREFIX="$bench_prefix" wineserver -k 2>/dev/null || true
  kill "$bench_xvfb_pid" 2>/dev/null || true
}

run() {
  local prefix size=$2
  prefix=$(realpath -m "$1")
  shift 2
  [[ "${1:-}" == "--" ]] && shift
  ensure_prefix "$prefix"
  read -r display bench_xvfb_pid < <(start_display "$size")
  bench_prefix=$prefix
  trap teardown EXIT
  export DISPLAY=":$display" WINEPREFIX="$prefix"
  # One persistent server for the whole run instead of one per program.
  wineserver -p
  start_services "$prefix"
  "$@"
}

case "${1:-}" in
  prefix) ensure_prefix "$2" ;;
  services) start_services "$(realpath -m "$2")" ;;
  run) shift; run "$@" ;;
  *) echo "usage: bench.sh prefix PREFIX | run PREFIX WIDTHxHEIGHT -- CMD..." >&2; exit 2 ;;
esac
