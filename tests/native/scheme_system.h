// A power scheme and its marker as the system would keep them, shared by the objects a
// test makes over it (a crashed run's and the next start's), with each call's failure
// switchable and every call listed in order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/power_scheme.h"

struct SchemeSystem {
  ButtonActions scheme{{0x22, 0x42}, {1, 1, 3, 2, 1, 2}};
  std::optional<ButtonActions> marker;
  bool markerUnreadable = false;
  bool readFails = false, saveFails = false, clearFails = false;
  int writesFailing =
      0;  // how many of the next writes fail, each part-way: the lid set to do nothing, the rest untouched
  std::vector<std::string>* calls = nullptr;
};

class FakePowerScheme final : public PowerScheme {
 public:
  explicit FakePowerScheme(SchemeSystem& system) : s_(system) {}
  bool Read(ButtonActions& actions) override {
    Call("Read");
    if (s_.readFails) return Fail("PowerReadACValueIndex");
    actions = s_.scheme;
    return true;
  }
  bool Write(const ButtonActions& actions) override {
    Call(std::string("Write ") + (actions.actions[0] == 0 ? "held" : "back"));
    if (s_.writesFailing > 0) {
      --s_.writesFailing;
      s_.scheme.actions[0] = kActionDoNothing;
      return Fail("PowerWriteDCValueIndex");
    }
    s_.scheme = actions;
    return true;
  }
  bool SaveMarker(const ButtonActions& before) override {
    Call("SaveMarker");
    if (s_.saveFails) return Fail("RegSetValueExW");
    s_.marker = before;
    return true;
  }
  MarkerRead LoadMarker(ButtonActions& before) override {
    Call("LoadMarker");
    if (s_.markerUnreadable) return MarkerRead::kUnreadable;
    if (!s_.marker) return MarkerRead::kNone;
    before = *s_.marker;
    return MarkerRead::kRead;
  }
  bool ClearMarker() override {
    Call("ClearMarker");
    if (s_.clearFails) return Fail("RegDeleteValueW");
    s_.marker.reset();
    s_.markerUnreadable = false;
    return true;
  }
  SystemError LastFailure() const override { return last_.Get(); }

 private:
  void Call(std::string what) {
    if (s_.calls != nullptr) s_.calls->push_back(std::move(what));
  }
  bool Fail(const char* call) {
    last_.Failed(call, 5);
    return false;
  }
  SchemeSystem& s_;
  LastSystemError last_;
};
