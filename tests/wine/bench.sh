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

# Every prefix is a copy of one template made by wineboot. Wine's own programs and
# libraries, 1.2 of a prefix's 1.3 GB, are hard links into the template (no test writes
# there), so a dozen prefixes side by side take the disk of one; the registry and the
# rest (about 30 MB) are copied. TBTFW_WINE_TEMPLATE names another template folder.
template=$(realpath -m "${TBTFW_WINE_TEMPLATE:-$here/../../build/wine-template}")
readonly template
readonly shared_folders=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)

# The font mapping as the UTF-16 file that regedit reads.
fonts_reg() { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$here/fonts.reg.txt"; }

# True when PREFIX has the current font mapping.
fonts_current() { fonts_reg | cmp -s - "$1/fonts.reg"; }

# Maps the font families the window asks for onto installed fonts in PREFIX. A copy of a
# template made before the mapping changed gets the new mapping here.
map_fonts() {
  local prefix=$1 reg="$1/fonts.reg"
  fonts_current "$prefix" && return 0
  fonts_reg >"$reg" || return 1
  WINEPREFIX="$prefix" wine regedit /S "$(WINEPREFIX="$prefix" winepath -w "$reg")" >/dev/null 2>&1 || return 1
  WINEPREFIX="$prefix" wineserver -w
}

# Runs wineboot in PREFIX and maps the fonts.
boot_prefix() {
  WINEPREFIX="$1" wineboot -i >/dev/null 2>&1 || { echo "bench: wineboot failed in $1" >&2; return 1; }
  map_fonts "$1"
}

# PREFIX as a copy of the template; the file naming the prefix's server is not copied.
copy_template() {
  local prefix=$1 excludes=(--exclude=./wineserver --exclude=./.bench-ready) folder
  for folder in "${shared_folders[@]}"; do excludes+=("--exclude=./$folder"); done
  mkdir -p "$prefix" && tar -C "$template" "${excludes[@]}" -cf - . | tar -C "$prefix" -xf - || return 1
  for folder in "${shared_folders[@]}"; do
    # Another file system cannot hold the links: a full copy then.
    cp -al "$template/$folder" "$prefix/$folder" 2>/dev/null ||
      { rm -rf "${prefix:?}/$folder" && cp -a "$template/$folder" "$prefix/$folder"; } || return 1
  done
}

# Makes PREFIX once (idempotent; concurrent callers wait on a lock); creates the template first.
ensure_prefix() {
  local prefix
  prefix=$(realpath -m "$1")  # Wine takes only absolute prefixes
  # A template, which other work trees may share, is never changed once made.
  [[ -f "$prefix/.bench-ready" ]] && { [[ $prefix == "$template" ]] || fonts_current "$prefix"; } && return 0
  mkdir -p "$(dirname "$prefix")"
  (
    # Tested below, so errexit does not hold in here: every step says how it ended.
    flock 9 || exit 1
    if [[ -f "$prefix/.bench-ready" ]]; then
      [[ $prefix == "$template" ]] || map_fonts "$prefix"
      exit
    fi
    rm -rf "$prefix"
    if [[ $prefix == "$template" ]]; then
      boot_prefix "$prefix" || exit 1
    else
      ensure_prefix "$template" && copy_template "$prefix" && map_fonts "$prefix" || exit 1
    fi
    touch "$prefix/.bench-ready"
  ) 9>"$prefix.lock" || { echo "bench: could not make the prefix $prefix; free disk: $(df -h --output=avail "$(dirname "$prefix")" | tail -1)" >&2; return 1; }
}

# Wine's background services start with the first program of a server and inherit its
# output; started from a program of their own with no output, they cannot hold a test
# runner's pipe open after the test has ended.
start_services() {
  WINEPREFIX="$1" wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

start_display() {  # prints "NUMBER PID"
  local size=$1 folder fifo
  # The FIFO in a folder only this user can enter: no other user can swap it.
  folder=$(mktemp -d)
  fifo="$folder/displayfd"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  local pid=$!
  local number
  # Xvfb writes its display number once it accepts connections; bounded wait.
  if ! read -r -t 30 number <"$fifo"; then
    kill "$pid" 2>/dev/null || true
    rm -rf "$folder"
    echo "bench: Xvfb did not start" >&2
    return 1
  fi
  rm -rf "$folder"
  echo "$number $pid"
}

# Stops what `run` started: the prefix's server with its programs, then the display.
teardown() {
  WINEPREFIX="$bench_prefix" wineserver -k 2>/dev/null || true
  # Until the server has gone: the next run in this prefix starts a server of its own.
  WINEPREFIX="$bench_prefix" timeout 30 wineserver -w 2>/dev/null || true
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
  # One persistent server for the whole run instead of one per program. A server left in
  # this prefix by a run that was cut short would refuse to make way (status 2): stopped first.
  wineserver -k 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || true
  local status=0
  wineserver -p || status=$?
  ((status == 0)) || { echo "bench: wineserver -p failed in $prefix (status $status)" >&2; return 1; }
  start_services "$prefix"
  "$@"
}

case "${1:-}" in
  prefix) ensure_prefix "$2" ;;
  services) start_services "$(realpath -m "$2")" ;;
  run) shift; run "$@" ;;
  *) echo "usage: bench.sh prefix PREFIX | services PREFIX | run PREFIX WIDTHxHEIGHT -- CMD..." >&2; exit 2 ;;
esac
