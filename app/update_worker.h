// The update procedure of the tool's one background thread: power the controller on,
// start its service, connect, read its version, load the image beside the program,
// validate it, refuse a downgrade, write it, and power the controller off again.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

#include "app/run_request.h"
#include "app/worker_events.h"
#include "common/status_codes.h"
#include "controller/acpi_device.h"
#include "controller/controller_client.h"
#include "controller/image_validation.h"
#include "controller/nvm_layout.h"
#include "platform/com_runtime.h"
#include "platform/power_scheme.h"
#include "platform/service_manager.h"
#include "platform/update_record.h"
#include "platform/worker_platform.h"

// Checks an image against the controller; on 0, `imageVersion` holds the image's version.
// `detail` receives what the check saw, the field that refused the image among it.
using ImageValidator = std::function<StatusCode(ControllerAccess& controller, std::span<const std::uint8_t> image,
                                                std::uint32_t& imageVersion, ValidationDetail& detail)>;

inline constexpr std::uint32_t kSettleMilliseconds = 10000;  // for the service, then for the controller

struct UpdateWorkerEnvironment {
  ComRuntime& com;
  AcpiDevice& acpi;
  ServiceManager& services;
  ControllerClient& client;
  WorkerPlatform& platform;
  ImageValidator validate;
  WorkerEvents* events = nullptr;  // told of each step; none when empty
  UpdateRecord* record = nullptr;  // told of an image the provider took; none when empty
  PowerScheme* scheme = nullptr;   // its lid and button actions held off for the write; none when empty
};

// The largest image the tool reads: the NVM's size limit (controller/nvm_layout.h).
inline constexpr std::uint32_t kLargestImageSize = kLargestNvmSize;

// Whether a file of this (long) name is a firmware image: it ends in ".bin", in any case.
bool IsImageName(std::u16string_view name);

// The status of a run that an exception cut short (memory ran out, say): the procedure
// still waits and powers the controller off.
inline constexpr StatusCode kWorkerException = TBFW_E_NO_MEMORY;

// The word the record of attempts and the event log give a run that ended with `status`:
// "written", "refused" (the image does not fit, is older, or several fit), "failed",
// "already current" or "pending".
const char* RunOutcomeWord(StatusCode status);

// Runs the whole procedure `request` asks for and returns its outcome. Whatever fails, an
// exception included, both waits, the power-off request and the COM uninitialisation
// happen; no exception leaves. Every image of the data folder is checked in name order
// and the one that fits is taken (ChooseImage). A check-only request ends after the
// downgrade rule with its result, having written nothing. Right before the write the power
// source is asked again: on battery nothing is written (TBFW_E_ON_BATTERY). For the write
// alone the lid and the power and sleep buttons do nothing (SleepHold); a scheme left
// half-changed writes nothing (TBFW_E_POWER_SCHEME). After a write
// the provider took the record is saved, and the run's status is 0 whatever befalls the
// record or the log.
StatusCode RunUpdateWorker(UpdateWorkerEnvironment& env, const RunRequest& request);
