#!/usr/bin/env bash
# The soak's expected outcomes (bench/soak_oracle.sh, a table of its own) held against the
# same scenarios run in process over the emulated controller (expected-outcome): every
# part the soak draws alone on every controller version, image and downgrade switch, and
# every pair of parts on one of them. A difference is a fault of the table or of the core.
# Usage: soak_oracle_test.sh SAMPLES_EXE EXPECTED_EXE WORK
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
samples_exe=$1 expected_exe=$2 work=$3
# shellcheck source=../lib/tool_session.sh
source "$repo/tests/lib/tool_session.sh"
# shellcheck source=../../bench/soak_oracle.sh
source "$repo/bench/soak_oracle.sh"

rm -rf "$work" && mkdir -p "$work/samples"
(cd "$work" && "$samples_exe" samples >/dev/null)

checked=0 failures=0
# VERSION IMAGE DOWNGRADABLE FAULT RETURN REPLY: one scenario, both ways.
compare() {
  local version=$1 image=$2 downgradable=$3 fault=$4 return=$5 reply=$6 extra=() want got
  [[ $fault == none ]] || extra+=("[faults]" "$fault = 1")
  [[ $return == none ]] || extra+=("[return_values]" "${return%%=*} = ${return#*=}")
  [[ $reply == none ]] || extra+=("[replies]" "$reply")
  write_scenario "$work/case" "$work/samples" "$version" "${extra[@]}"
  want=$(soak_outcome "$@")
  got=$("$expected_exe" "$work/case/scenario.ini" "$work/samples/$image" "$downgradable")
  checked=$((checked + 1))
  if [[ $want != "$got" ]]; then
    failures=$((failures + 1))
    echo "FAIL v=$version image=$image downgradable=$downgradable fault=$fault return=$return reply=$reply:" \
         "table $want, in process $got"
  fi
}

returns=()
for method in "${soak_methods[@]}"; do
  for value in "${soak_values[@]}"; do returns+=("$method=$value"); done
done
mapfile -t images < <(printf '%s\n' "${soak_images[@]}" | sort -u)

for version in "${soak_versions[@]}"; do
  for image in "${images[@]}"; do
    for downgradable in 0 1; do
      compare "$version" "$image" "$downgradable" none none none
      for fault in "${soak_faults[@]}"; do compare "$version" "$image" "$downgradable" "$fault" none none; done
      for return in "${returns[@]}"; do compare "$version" "$image" "$downgradable" none "$return" none; done
      for reply in "${soak_replies[@]}"; do compare "$version" "$image" "$downgradable" none none "$reply"; done
    done
  done
done
for fault in "${soak_faults[@]}"; do
  for return in "${returns[@]}"; do compare 0x10 img-156D.bin 0 "$fault" "$return" none; done
  for reply in "${soak_replies[@]}"; do compare 0x10 img-156D.bin 0 "$fault" none "$reply"; done
done
for return in "${returns[@]}"; do
  for reply in "${soak_replies[@]}"; do compare 0x10 img-156D.bin 0 none "$return" "$reply"; done
done

if ((failures)); then
  echo "soak oracle: $failures of $checked scenarios differ"
  exit 1
fi
echo "soak oracle: $checked scenarios, the table and the in-process run agree"
