#include "app/exit_code.h"

namespace {

// /check never writes: what an update would do follows from the two versions, once the
// image has passed every check but the downgrade rule.
int CheckVerdict(const RunOutcome& o) {
  if (o.imageVersion > o.controllerVersion) return kExitSuccess;
  if (o.imageVersion == o.controllerVersion) return kExitCheckSameVersion;
  return kExitCheckControllerNewer;
}

}  // namespace

int ExitCodeFor(const RunOutcome& o) {
  switch (o.end) {
    case RunEnd::kNotRun: return kExitClosedWithoutUpdate;
    case RunEnd::kOnBattery: return kExitOnBattery;
    case RunEnd::kAnotherCopy: return kExitAnotherCopy;
    case RunEnd::kBadSwitch: return kExitBadSwitch;
    case RunEnd::kFinished: break;
  }
  const bool validated = o.status == kSuccess || o.status == TBFW_E_DOWNGRADE;
  if (o.mode == RunMode::kCheck && o.status == TBFW_E_WRITE_PENDING) return kExitCheckPending;
  if (o.mode == RunMode::kCheck && validated) return o.haveVersions ? CheckVerdict(o) : kExitFailed;
  switch (o.status) {
    case kSuccess: return o.powerOffStarted ? kExitPowerOffStarted : kExitPowerOffNeeded;
    case TBFW_E_DOWNGRADE:
    case TBFW_E_ALREADY_CURRENT: return kExitSuccess;
    // Written earlier in this boot: what the deployment must do is what it does after a write.
    case TBFW_E_WRITE_PENDING: return o.powerOffStarted ? kExitPowerOffStarted : kExitPowerOffNeeded;
    // Another program holds an image: a retry finds it free.
    case TBFW_E_IMAGE_IN_USE: return kExitAnotherCopy;
    // The package lies where others can change it: no retry mends that.
    case TBFW_E_PACKAGE_UNTRUSTED: return kExitPackageUntrusted;
    case TBFW_E_NO_ACPI_DEVICE:
    case TBFW_E_NO_CONTROLLER:
    case TBFW_E_UNSUPPORTED_CONTROLLER: return kExitNotThisNotebook;
    default: return kExitFailed;
  }
}
