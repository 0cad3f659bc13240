// The run log's file in memory, with a clock fixed at 2026-12-07 09:05:03.042, for tests
// that read what a run logged.
#pragma once

#include <new>
#include <string>
#include <string_view>

#include "platform/log_file.h"

struct MemoryLog final : LogFile {
  std::string text;
  // A line holding this text, once appended, makes the next append throw: a log whose
  // memory runs out at that point.
  std::string throwAfter;
  bool Append(std::string_view utf8) override {
    if (!throwAfter.empty() && text.find(throwAfter) != std::string::npos) throw std::bad_alloc();
    text += utf8;
    return true;
  }
  LocalTime Now() override { return {2026, 12, 7, 9, 5, 3, 42}; }
};
