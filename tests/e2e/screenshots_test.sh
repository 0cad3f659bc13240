#!/usr/bin/env bash
# The published screenshots (docs/screenshots) are what the running tool shows now: each is
# made again by its script (scripts/screenshots.sh, scripts/language-sheet.sh) and compared
# with the published one, which must have the same size and differ in few pixels (a colour
# distance above 10 % in at most 0.3 % of them; the busy indicator's frame, which depends
# on the moment, is left out). A text or a picture changed without the screenshots fails.
# Usage: screenshots_test.sh BENCH_ENV WORK
set -u -o pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$here/../.." && pwd)
env_file=$(realpath "$1") work=$(realpath -m "$2")
published=$repo/docs/screenshots
rm -rf "$work" && mkdir -p "$work/made" || exit 1

bash "$repo/scripts/screenshots.sh" --shoot "$env_file" "$work/shots" "$work/made" >/dev/null ||
  { echo "FAIL scripts/screenshots.sh"; exit 1; }
bash "$repo/scripts/language-sheet.sh" --shoot "$env_file" "$work/sheet" "$work/made/languages.png" >/dev/null ||
  { echo "FAIL scripts/language-sheet.sh"; exit 1; }

# The busy indicator's place at half scale (712, 658, 132 x 132 at full scale).
readonly spinner_mask="rectangle 356,329 421,394"

failed=0
for made in "$work"/made/*.png; do
  name=$(basename "$made")
  if [[ ! -f $published/$name ]]; then
    echo "FAIL $name is made but not published"; failed=1; continue
  fi
  mask=()
  [[ $name == updating-half.png ]] && mask=(-fill black -draw "$spinner_mask")
  a=$(convert "$published/$name" "${mask[@]}" -format '%w %h' -write "$work/a.png" info:)
  b=$(convert "$made" "${mask[@]}" -format '%w %h' -write "$work/b.png" info:)
  if [[ $a != "$b" ]]; then
    echo "FAIL $name: published $a, made $b"; failed=1; continue
  fi
  read -r w h <<<"$a"
  differing=$(compare -metric AE -fuzz 10% "$work/a.png" "$work/b.png" null: 2>&1)
  if [[ ! $differing =~ ^[0-9]+$ ]] || ((differing * 1000 > w * h * 3)); then
    echo "FAIL $name: $differing of $((w * h)) pixels differ (docs/screenshots is stale: run scripts/screenshots.sh and scripts/language-sheet.sh)"
    failed=1
  else
    echo "ok   $name: $differing of $((w * h)) pixels differ"
  fi
done
for name in "$published"/*.png; do
  [[ -f $work/made/$(basename "$name") ]] || { echo "FAIL $(basename "$name") is published but no script makes it"; failed=1; }
done
exit $failed
