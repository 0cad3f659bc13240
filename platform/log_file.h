// The file a run's log is appended to, and the local clock its lines are stamped with.
#pragma once

#include <cstdint>
#include <string_view>

struct LocalTime {
  std::uint16_t year, month, day, hour, minute, second, millisecond;
};

class LogFile {
 public:
  virtual ~LogFile() = default;
  // Appends `utf8` at the file's end as one write; false when it could not be written.
  virtual bool Append(std::string_view utf8) = 0;
  virtual LocalTime Now() = 0;
};
