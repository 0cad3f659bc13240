// The system's reason for a call that failed: the call's name and the code it left
// (GetLastError's), taken at the call so the log can say why a step failed.
#pragma once

#include <cstdint>

struct SystemError {
  const char* call = nullptr;  // null: the last call succeeded, or failed for a reason of the tool's own
  std::uint32_t code = 0;

  explicit operator bool() const { return call != nullptr; }
};

// Where an object that makes system calls keeps the reason of its last one.
class LastSystemError {
 public:
  SystemError Get() const { return last_; }
  void Succeeded() { last_ = {}; }
  void Failed(const char* call, std::uint32_t code) { last_ = {call, code}; }

 private:
  SystemError last_;
};
