# shellcheck shell=bash
# What a soak run should end with, from the scenario's parts alone: a table of what each
# drawn part does to an update in the window, and the order the steps of an update come
# in. It shares no code with the tool, so a fault of the tool's core shows in the soak as
# well as a fault of its Windows adapters. tests/emulated/soak_oracle_test.sh holds it
# against the same scenarios run in process.
#
# soak_outcome VERSION IMAGE DOWNGRADABLE FAULT RETURN REPLY prints "status=0x%08X written=N":
#   VERSION      the controller's NVM version (as the scenario's nvm_version)
#   IMAGE        the sample image written into the package, against region ctl-156D.dump
#   DOWNGRADABLE 1 when /downgradable is given
#   FAULT        a fault of the emulated controller, or "none"
#   RETURN       METHOD=VALUE, a method's own return value, or "none"
#   REPLY        METHOD.PARAMETER=FORM, an out-parameter's form, or "none"

# What the soak draws from (bench/soak_lane.sh): each is in the tables below.
# shellcheck disable=SC2034  # for the scripts that source this file
soak_faults=(NoLocator NoNamespace QueryFails NoInstance IdNotString IdTooLong NoClass NoMethod NoSpawn ExecFails
             NoOutParams NoReturnValue NoData NoNvmVersion BufferNotCreated NoAcpiDevice ServiceMissing)
# shellcheck disable=SC2034
soak_images=(img-156D.bin img-156D.bin img-156D.bin img-156D-src0-80.bin img-156D-src0-55.bin img-1578.bin img-156B.bin)
# shellcheck disable=SC2034
soak_versions=(0x10 0x1B 0x30)
# shellcheck disable=SC2034
soak_methods=(GetCurrentNvmVersion ReadFirmware UpdateFirmware)
# shellcheck disable=SC2034
soak_values=(5 0x57 0x80000001)
# shellcheck disable=SC2191,SC2034  # METHOD.PARAMETER=FORM words, by brace expansion
soak_replies=({GetCurrentNvmVersion.NvmVersion,ReadFirmware.ReturnValue,UpdateFirmware.ReturnValue}={null,missing,text}
              ReadFirmware.data={short,empty,null,missing})

readonly oracle_no_acpi_device=0x10430001 oracle_no_controller=0x10430002 oracle_no_provider=0x10430003
readonly oracle_no_memory=0x10430007 oracle_downgrade=0x1043000C

# Where each part acts: the step of the update (0 the ACPI device, 1 connecting to the
# controller, 2 its version, 3 reading it for the image's checks, 4 the image's own
# verdict, 5 the write) and the order within the step (0 before the call, 2 its return
# value, 1 a return value that is no number, 3 the other out-parameters). The earliest
# part that fails decides. A method's return value is the status as it is; a reply in a
# form that is no answer is "no provider".
declare -A oracle_fault_step=(
  [NoAcpiDevice]="0 0" [NoLocator]="1 0" [NoNamespace]="1 0" [ServiceMissing]="1 0" [NoInstance]="1 0"
  [IdNotString]="1 0" [IdTooLong]="1 0" [QueryFails]="2 0" [NoClass]="2 0" [NoMethod]="2 0" [ExecFails]="2 0"
  [NoOutParams]="2 0" [NoReturnValue]="2 0" [NoNvmVersion]="2 3" [NoSpawn]="3 0" [NoData]="3 3"
  [BufferNotCreated]="5 0"
)
declare -A oracle_fault_status=(
  [NoAcpiDevice]=$oracle_no_acpi_device [NoLocator]=$oracle_no_provider [NoNamespace]=$oracle_no_provider
  [ServiceMissing]=$oracle_no_provider [NoInstance]=$oracle_no_controller [IdNotString]=$oracle_no_controller
  [IdTooLong]=$oracle_no_controller [NoClass]=$oracle_no_provider [NoMethod]=$oracle_no_provider
  [NoSpawn]=$oracle_no_provider [ExecFails]=$oracle_no_provider [NoOutParams]=$oracle_no_provider
  [NoReturnValue]=$oracle_no_provider [NoNvmVersion]=$oracle_no_provider [BufferNotCreated]=$oracle_no_memory
  [QueryFails]=$oracle_no_controller [NoData]=$oracle_no_provider
)
declare -A oracle_method_step=([GetCurrentNvmVersion]=2 [ReadFirmware]=3 [UpdateFirmware]=5)
# Each sample image's verdict against the region ctl-156D.dump, and the version it carries.
declare -A oracle_image_verdict=(
  [img-156D.bin]=0x00000000 [img-156D-src0-55.bin]=0x00000000 [img-156D-src0-80.bin]=0x10430006
  [img-1578.bin]=0x10430009 [img-156B.bin]=0x1043000A
)
readonly oracle_image_version=0x1B

soak_outcome() {
  local version=$1 image=$2 downgradable=$3 fault=$4 return=$5 reply=$6
  local -a steps=()  # "STEP ORDER STATUS WRITTEN", the earliest first once sorted
  if [[ $fault != none ]]; then
    [[ -n ${oracle_fault_step[$fault]:-} ]] || { echo "soak_outcome: no such fault $fault" >&2; return 1; }
    steps+=("${oracle_fault_step[$fault]} ${oracle_fault_status[$fault]} 0")
  fi
  if [[ $return != none ]]; then
    local method=${return%%=*} value=${return#*=}
    [[ -n ${oracle_method_step[$method]:-} ]] || { echo "soak_outcome: no such method $method" >&2; return 1; }
    printf -v value '0x%08X' "$((value))"
    # A value 0 is a success: the step goes on.
    [[ $value == 0x00000000 ]] || steps+=("${oracle_method_step[$method]} 2 $value 0")
  fi
  if [[ $reply != none ]]; then
    local method=${reply%%.*} parameter=${reply#*.}
    parameter=${parameter%%=*}
    [[ -n ${oracle_method_step[$method]:-} ]] || { echo "soak_outcome: no such method $method" >&2; return 1; }
    # A ReturnValue that is no number stands in for the one given. The provider wrote
    # before it answered, unless it was given a failure to return.
    local order=3 written=0
    [[ $parameter == ReturnValue ]] && order=1
    [[ $method == UpdateFirmware && $return != UpdateFirmware=* ]] && written=1
    steps+=("${oracle_method_step[$method]} $order $oracle_no_provider $written")
  fi
  local verdict=${oracle_image_verdict[$image]:-}
  [[ -n $verdict ]] || { echo "soak_outcome: no verdict for $image" >&2; return 1; }
  if [[ $verdict != 0x00000000 ]]; then
    steps+=("4 0 $verdict 0")
  elif ((oracle_image_version < version && downgradable == 0)); then
    steps+=("4 1 $oracle_downgrade 0")
  fi
  # The window writes an image of the controller's own version too: a user asked for it.
  steps+=("6 0 0x00000000 1")
  local first
  first=$(printf '%s\n' "${steps[@]}" | sort -n -k1,1 -k2,2 | head -n1)
  read -r _ _ status written <<<"$first"
  echo "status=$status written=$written"
}
