// What the update worker tells of its run as it goes: each step's result and the facts it
// learnt. The run log writes them down; the unattended run takes the two versions from
// them. Every event has an empty default, so a listener takes only what it needs.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/status_codes.h"
#include "platform/system_error.h"

class WorkerEvents {
 public:
  virtual ~WorkerEvents() = default;
  // A step of the procedure and its result: a status, or for the power requests and the
  // service start the value the system gave.
  virtual void OnStep(std::string_view /*step*/, std::uint32_t /*result*/) {}
  // The system's reason for the failure of the step just told, when it gave one.
  virtual void OnSystemError(std::string_view /*step*/, SystemError /*error*/) {}
  virtual void OnController(std::u16string_view /*id*/, std::uint32_t /*nvmVersion*/) {}
  // The image file as read whole, before it is checked.
  virtual void OnImage(std::u16string_view /*path*/, std::span<const std::uint8_t> /*bytes*/) {}
  // The field whose comparison refused the image just told, when one did.
  virtual void OnRefusedField(std::u16string_view /*field*/) {}
  // The one image of the folder that fits and is taken.
  virtual void OnImageChosen(std::u16string_view /*path*/) {}
  // Two or more images that fit and differ: none is taken.
  virtual void OnImagesAmbiguous(std::span<const std::u16string> /*paths*/) {}
  virtual void OnImageVersion(std::uint32_t /*nvmVersion*/) {}
  // A line of its own for the log, told when nothing else says it.
  virtual void OnNote(std::string_view /*text*/) {}
};
