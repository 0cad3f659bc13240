// The emulated controller as the WMI provider in the tool's process sees it: the model
// made from the prefix's scenario, the power state the ACPI driver keeps, the state of
// the controller's service, and the files where what the provider received is written.
//
// Everything lives under C:\TbtEmulator in the prefix:
//   scenario.ini                 the scenario (format in emulator/scenario.h)
//   state\power                  "1" while the driver has the controller powered on
//   out\provider-calls.txt       one line per call the provider answered
//   out\written-images.txt       "<sha256> <size>" for each image UpdateFirmware accepted
//   out\written-image-<sha256>.bin  the image's bytes
//   out\provider-errors.txt      why the provider could not start (a bad scenario)
#pragma once

#include <cstddef>
#include <memory>

#include "emulator/controller_model.h"

class ProviderWorld {
 public:
  // Null when the scenario or its region cannot be read; the reason is written down.
  static std::shared_ptr<ProviderWorld> Load();

  ControllerModel& model() { return model_; }
  // Takes the controller's power and service state from the system before a call.
  void Refresh();
  // Writes down what the last calls added to the model's log and images.
  void Record();

 private:
  ControllerModel model_;
  std::size_t loggedLines_ = 0;
  std::size_t recordedImages_ = 0;
};
