#!/usr/bin/env bash
# tbtfw-check seen from outside, on the shipped texts.
# Usage: tbtfw_check_test.sh UPDATE_INI TBTFW_CHECK [EMULATOR ARGS...]
# The emulator (Wine for the Windows build) is put in front of the program.
set -u
ini=$(realpath "$1") exe=$(realpath "$2")
shift 2
runner=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/data"
cp "$ini" "$work/data/Update.ini"
cd "$work" || exit 1

passed=0 failed=0
check() { "${runner[@]}" "$exe" "$@" 2>/dev/null; }

expect_output() {  # NAME EXPECTED ARGS...
  local name=$1 expected=$2
  shift 2
  local actual
  actual=$(check "$@")
  local status=$?
  if [[ $status -eq 0 && "$actual" == "$expected" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s: exit %s\n  expected: %s\n  actual:   %s\n' "$name" "$status" "$expected" "$actual"
  fi
}

expect_exit() {  # NAME STATUS ARGS...
  local name=$1 expected=$2
  shift 2
  check "$@" >/dev/null
  local status=$?
  if [[ $status -eq $expected ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    printf 'FAIL %s: exit %s, expected %s\n' "$name" "$status" "$expected"
  fi
}

text() { check text --ini data/Update.ini --lang "$1" "$2"; }

# Arguments as the tool parses them.
expect_output "lid selects the language" "downgradable=0 language=0x0411" args /lid:411
expect_output "ui language is the default" "downgradable=0 language=0x0804" args --ui-language 804
expect_output "switches combine" "downgradable=1 language=0x0000" args --ui-language 0x407 /DOWNGRADABLE /LID:zz
expect_output "minus one" "downgradable=0 language=0xFFFF" args --ui-language 409 /LID:-1
expect_output "later lid wins" "downgradable=0 language=0x0411" args --ui-language 409 /LID:404 /LID:411 file.bin

# Every text in every shipped language, and the languages that share them.
keys=(IDS_UPDATE IDS_EXIT IDS_PROMPT IDS_CAUTION IDS_SHUTDOWN IDS_SHUTDOWN_LATER
      IDS_FIND_NO_HVK IDS_SUCCESS IDS_FIND_NO_SW IDS_DOWNGRADE IDS_ERROR IDS_BUSY IDS_CLOSE)
english_prompt=$(text 409 IDS_PROMPT)
for lang in 409 407 40C 411 804 404 C0A 416 816 410 412 419 415 413 41F 401 40D; do
  for key in "${keys[@]}"; do
    value=$(text "$lang" "$key")
    if [[ -n "$value" ]]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL no text for $lang $key"; fi
  done
  if [[ $lang != 409 ]]; then
    if [[ "$(text "$lang" IDS_PROMPT)" != "$english_prompt" ]]; then passed=$((passed + 1));
    else failed=$((failed + 1)); echo "FAIL $lang shows the English prompt"; fi
  fi
done
expect_output "Japanese text is UTF-8" "更新" text --ini data/Update.ini --lang 411 IDS_UPDATE
expect_output "Traditional Chinese exit" "結束" text --ini data/Update.ini --lang 0x404 IDS_EXIT
# Written out here: compared with the tool's own answer for another id, an empty or an
# English text on both sides would pass.
expect_output "Hong Kong shares Traditional" "結束" text --ini data/Update.ini --lang C04 IDS_EXIT
expect_output "Singapore shares Simplified" "退出" text --ini data/Update.ini --lang 1004 IDS_EXIT
expect_output "Austria shares German" "Beenden" text --ini data/Update.ini --lang C07 IDS_EXIT
expect_output "Greek falls back to English" "$english_prompt" text --ini data/Update.ini --lang 408 IDS_PROMPT
# A key that is missing is told from a text that is empty; an INI that cannot be the
# tool's texts is refused with its own code, never read as holding nothing.
expect_exit "unknown key" 4 text --ini data/Update.ini --lang 409 IDS_NOTHING
printf '\xff\xfe' >data/empty-text.ini
printf '[Language]\r\n0x409=English\r\n[English]\r\nIDS_EMPTY=\r\n' | iconv -f UTF-8 -t UTF-16LE >>data/empty-text.ini
expect_output "an empty text is a text" "" text --ini data/empty-text.ini --lang 409 IDS_EMPTY
expect_exit "a key missing beside it" 4 text --ini data/empty-text.ini --lang 409 IDS_UPDATE
: >data/empty.ini
printf '\x00\x01\x02binary' >data/binary.ini
truncate -s $((1024 * 1024 + 1)) data/huge.ini
for bad in "missing file:data/Missing.ini" "folder:data" "empty file:data/empty.ini" "binary file:data/binary.ini" \
           "file over 1 MiB:data/huge.ini"; do
  expect_exit "text: ${bad%%:*}" 3 text --ini "${bad#*:}" --lang 409 IDS_UPDATE
  expect_exit "message: ${bad%%:*}" 3 message --ini "${bad#*:}" --lang 409 0
done

# Messages after an update.
error_text=$(text 409 IDS_ERROR)
expect_output "field mismatch" "$error_text (0X10430006)" message --ini data/Update.ini --lang 0x409 0x10430006
expect_output "decimal status" "$error_text (0X10430006)" message --ini data/Update.ini --lang 409 272826374
expect_output "provider value" "$error_text (0X00000005)" message --ini data/Update.ini --lang 409 5
expect_output "success" "$(text 409 IDS_SUCCESS)" message --ini data/Update.ini --lang 409 0
expect_output "no provider" "$(text 411 IDS_FIND_NO_SW)" message --ini data/Update.ini --lang 411 0x10430003
expect_output "downgrade" "$(text 40C IDS_DOWNGRADE)" message --lang 40C --ini data/Update.ini 0x1043000C

# Wrong arguments are refused with status 2, never a crash.
expect_exit "no command" 2
expect_exit "unknown command" 2 bogus
expect_exit "text without file" 2 text --lang 409 IDS_UPDATE
expect_exit "text without value" 2 text --ini
expect_exit "language not hex" 2 message --ini data/Update.ini --lang zz 0
expect_exit "language too large" 2 text --ini data/Update.ini --lang 10000 IDS_UPDATE
expect_exit "status too large" 2 message --ini data/Update.ini --lang 409 0x100000000
expect_exit "status not a number" 2 message --ini data/Update.ini --lang 409 12abc
expect_exit "two operands" 2 text --ini data/Update.ini --lang 409 IDS_UPDATE IDS_EXIT
expect_exit "ui language without value" 2 args --ui-language
expect_exit "help" 0 --help
expect_output "version" "tbtfw-check 1.0.0" --version
for command in args text message validate cabinet; do
  expect_exit "$command --help" 0 "$command" --help
  if check "$command" --help | grep -q "^usage: tbtfw-check $command"; then passed=$((passed + 1));
  else failed=$((failed + 1)); echo "FAIL $command --help shows no usage of its own"; fi
done
if check --help | grep -q "^Exit codes:"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL usage lists no exit codes"; fi

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
