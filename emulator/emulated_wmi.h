// COM and the controller's WMI provider, emulated in process over a ControllerModel.
#pragma once

#include "emulator/controller_model.h"
#include "platform/com_runtime.h"

class EmulatedComRuntime final : public ComRuntime {
 public:
  explicit EmulatedComRuntime(ControllerModel& model) : model_(model) {}
  HResult Initialize() override;
  void Uninitialize() override;
  std::unique_ptr<WbemLocator> CreateLocator() override;

 private:
  ControllerModel& model_;
};
