#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's prefix: CTest's emulator for the
# Windows build. Usage: wine-run.sh PREFIX PROGRAM.exe [ARGS...]
set -euo pipefail
prefix=$1
shift
bench="$(dirname "${BASH_SOURCE[0]}")/bench.sh"
bash "$bench" prefix "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# Outside the bench nothing keeps the server up between programs: let it linger briefly,
# and start the services where they cannot hold the caller's output open.
wineserver -p30 2>/dev/null || true  # fails harmlessly when a server runs
bash "$bench" services "$prefix"
exec wine "$@"
