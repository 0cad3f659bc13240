# shellcheck shell=bash
# The programs and files of one build tree that the Wine cases use, read from the file CMake
# writes for that tree (tests/CMakeLists.txt: build/windows/tests/bench.env) as NAME=PATH
# lines. Every case script starts here in place of a list of paths.

# The names the file gives, each a path once it is read.
# shellcheck disable=SC2034  # for the scripts that source this file
tool="" pinned_tool="" window_probe="" msaa_probe="" answers="" exit_probe="" squat_probe="" hold_file=""
# shellcheck disable=SC2034
planted_dll="" plant_probe="" update_harness="" samples="" check_exe="" components="" tool_ini="" shots=""
readonly bench_env_names=(tool pinned_tool window_probe msaa_probe answers exit_probe squat_probe hold_file
                         planted_dll plant_probe update_harness samples check_exe components tool_ini shots)

# FILE: sets each name above from FILE. The lines are read, never run; false, naming the
# line or the name, for a line that is not NAME=PATH with a name above, or a name missing.
read_bench_env() {
  local file=$1 name value
  [[ -f $file ]] || { echo "no bench environment: $file" >&2; return 1; }
  for name in "${bench_env_names[@]}"; do printf -v "$name" '%s' ""; done
  while IFS='=' read -r name value; do
    [[ -z $name || $name == \#* ]] && continue
    case " ${bench_env_names[*]} " in
      *" $name "*) [[ -n $value ]] || { echo "$file: no path for $name" >&2; return 1; } ;;
      *) echo "$file: not NAME=PATH for a known name: $name=$value" >&2; return 1 ;;
    esac
    printf -v "$name" '%s' "$value"
  done <"$file"
  for name in "${bench_env_names[@]}"; do
    [[ -n ${!name} ]] || { echo "$file: no $name" >&2; return 1; }
  done
}
