#include "controller/service_start.h"

#include <gtest/gtest.h>

#include "emulator/emulated_platform.h"

namespace {

struct ServiceCase {
  const char* name;
  std::set<Fault> faults;
  bool running;
  const char16_t* service;
  int result;
  bool runningAfter;
};

const ServiceCase kCases[] = {
    {"starts a stopped service", {}, false, u"ThunderboltService", kServiceStarted, true},
    {"already running counts as started", {}, true, u"ThunderboltService", kServiceStarted, true},
    {"unknown name", {}, false, u"NoSuchService", kServiceNotOpened, false},
    {"service not installed", {Fault::kServiceMissing}, false, u"ThunderboltService", kServiceNotOpened, false},
    {"no manager, even when running", {Fault::kNoServiceManager}, true, u"ThunderboltService", kServiceNoManager, true},
    {"would not start", {Fault::kServiceWontStart}, false, u"ThunderboltService", kServiceWouldNotStart, false},
};

TEST(StartControllerService, GivesOneResultAndLeavesNoHandleOpen) {
  for (const ServiceCase& c : kCases) {
    ControllerModel model;
    model.faults = c.faults;
    model.serviceRunning = c.running;
    EmulatedServiceManager scm(model);
    EXPECT_EQ(StartControllerService(scm, c.service), c.result) << c.name;
    EXPECT_EQ(model.serviceRunning, c.runningAfter) << c.name;
    EXPECT_EQ(model.openHandles, 0) << c.name;
  }
}

}  // namespace
