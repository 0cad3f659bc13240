// COM and the controller's WMI provider, emulated in process over a ControllerModel.
#pragma once

#include "emulator/controller_model.h"
#include "platform/com_runtime.h"

// The controller's provider behind a locator for "ROOT\\Intel\\Thunderbolt"; the in-process
// fakes and the COM server of the Wine prefix both serve it.
std::unique_ptr<WbemLocator> CreateEmulatedLocator(ControllerModel& model);

class EmulatedComRuntime final : public ComRuntime {
 public:
  explicit EmulatedComRuntime(ControllerModel& model) : model_(model) {}
  HResult Initialize() override;
  void Uninitialize() override;
  HResult CreateLocator(std::unique_ptr<WbemLocator>& locator) override;

 private:
  ControllerModel& model_;
};
