#!/usr/bin/env bash
# Reads the PE headers, import table and symbol table of Windows programs and fails when
# one lacks an exploit mitigation:
#   ASLR             DllCharacteristics has DYNAMIC_BASE
#   relocations      the image keeps its base relocations (without them ASLR cannot move it)
#   DEP              DllCharacteristics has NX_COMPAT
#   high-entropy-VA  DllCharacteristics has HIGH_ENTROPY_VA (64-bit images only: the flag
#                    means nothing in a 32-bit image)
#   no-SEH           DllCharacteristics has NO_SEH (32-bit images only): the image has no
#                    SafeSEH table, so it declares that it registers no exception handlers
#                    and the system calls none found in it
#   stack-protector  the canary check __stack_chk_fail is linked in, so compiled code calls
#                    it; this needs the symbol table, so check before stripping a copy
# With --shipped, also what a program that ships and runs elevated loads: it imports only
# KnownDLLs, which the loader never takes from the program's folder (any other is named),
# and its manifest binds no side-by-side assembly (a <dependency>), whose DLLs a
# "<program>.local" folder beside it could stand in for.
# Usage: pe_hardening_check.sh [--shipped] OBJDUMP NM IMAGE... Prints one line per image;
# exit status 1 when any image misses anything.
set -euo pipefail
shipped=0
[[ $1 == --shipped ]] && { shipped=1; shift; }
objdump=$1 nm=$2
shift 2
known_dlls=" kernel32.dll user32.dll gdi32.dll advapi32.dll ole32.dll oleaut32.dll msvcrt.dll "
status=0
for image in "$@"; do
  headers=$("$objdump" -p "$image")
  field() { awk -v name="$1" '$1 == name { print $2; exit }' <<<"$headers"; }
  dll=$((16#$(field DllCharacteristics)))
  magic=$(field Magic)
  missing=()
  ((dll & 0x0040)) || missing+=(ASLR)
  # "Entry 5 <rva> <size> Base Relocation Directory": an empty directory or the
  # relocations-stripped file flag leaves the image at its preferred base.
  reloc_size=$(awk '$1 == "Entry" && $2 == 5 { print $4; exit }' <<<"$headers")
  if grep -q 'relocations stripped' <<<"$headers" || ((16#${reloc_size:-0} == 0)); then
    missing+=(relocations)
  fi
  ((dll & 0x0100)) || missing+=(DEP)
  if [[ $magic == 020b ]] && ! ((dll & 0x0020)); then missing+=(high-entropy-VA); fi
  if [[ $magic == 010b ]] && ! ((dll & 0x0400)); then missing+=(no-SEH); fi
  # i686 names carry a leading underscore, x64 names do not.
  symbols=$("$nm" "$image" 2>/dev/null || true)
  grep -qE ' T _{0,2}_stack_chk_fail$' <<<"$symbols" || missing+=(stack-protector)

  foreign=() bound=
  if ((shipped)); then
    # shellcheck disable=SC2013  # DLL names hold no spaces
    for import in $(awk '$1 == "DLL" && $2 == "Name:" { print tolower($3) }' <<<"$headers"); do
      [[ $known_dlls == *" $import "* ]] || foreign+=("$import")
    done
    # The manifest is kept as its XML text in the resources; an element of the assembly
    # namespace may carry any prefix.
    if grep -aqE '<([A-Za-z0-9_]+:)?(dependency|dependentAssembly)[[:space:]>]' "$image"; then bound=yes; fi
  fi

  report=
  ((${#missing[@]})) && report="missing: ${missing[*]}"
  ((${#foreign[@]})) && report+="${report:+; }imports: ${foreign[*]}"
  [[ -z $bound ]] || report+="${report:+; }manifest: side-by-side dependency"
  if [[ -n $report ]]; then
    echo "$(basename "$image"): $report"
    status=1
  else
    echo "$(basename "$image"): hardened (DllCharacteristics 0x$(field DllCharacteristics), PE magic $magic)"
  fi
done
exit $status
