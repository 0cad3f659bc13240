#include "app/run_log.h"

#include <cstdio>

#include "app/log_text.h"
#include "common/sha256.h"

std::string Hex32(std::uint32_t value) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

void RunLog::Write(std::string_view text) {
  if (file_ == nullptr) return;
  const LocalTime t = file_->Now();
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", unsigned{t.year}, unsigned{t.month},
                unsigned{t.day}, unsigned{t.hour}, unsigned{t.minute}, unsigned{t.second}, unsigned{t.millisecond});
  std::string line = stamp;
  // Values from outside come escaped (LogText); a line break that still got here would
  // start a line without a time stamp.
  for (char c : text) line += (c == '\r' || c == '\n') ? ' ' : c;
  line += "\r\n";
  const std::lock_guard<std::mutex> one(writing_);
  file_->Append(line);
}

void RunLog::Start(std::string_view version, std::u16string_view commandLine) {
  Write("TbtFwUpdate " + std::string(version));
  Write("command line: " + LogText(commandLine));
}

void RunLog::Status(StatusCode status, std::u16string_view englishMessage) {
  Write("status " + Hex32(status) + ": " + LogText(englishMessage));
}

void RunLog::ExitCode(int exitCode) { Write("exit code " + std::to_string(exitCode)); }

void RunLog::OnStep(std::string_view step, std::uint32_t result) { Write(std::string(step) + ": " + Hex32(result)); }

void RunLog::OnSystemError(std::string_view step, SystemError error) {
  if (!error) return;
  Write(std::string(step) + ": " + error.call + " failed, system error " + Hex32(error.code));
}

void RunLog::OnController(std::u16string_view id, std::uint32_t nvmVersion) {
  Write("controller " + LogText(id) + ", NVM version " + Hex32(nvmVersion));
}

void RunLog::OnImage(std::u16string_view path, std::span<const std::uint8_t> bytes) {
  digests_.emplace_back(path, Sha256Hex(bytes));
  Write("image " + LogText(path) + ", " + std::to_string(bytes.size()) + " bytes, SHA-256 " + digests_.back().second);
}

void RunLog::OnImageVersion(std::uint32_t nvmVersion) { Write("image NVM version " + Hex32(nvmVersion)); }

void RunLog::OnRefusedField(std::u16string_view field) {
  std::string line = "validation: field ";
  line += LogText(field);
  line += " differs";
  Write(line);
}

void RunLog::OnImageChosen(std::u16string_view path) {
  for (const auto& [read, digest] : digests_) {
    if (read == path) chosenSha_ = digest;
  }
  Write("image chosen: " + LogText(path));
}

void RunLog::OnImagesAmbiguous(std::span<const std::u16string> paths) {
  std::string line = "images that fit and differ, none written:";
  for (const std::u16string& path : paths) {
    line += ' ';
    line += LogText(path);
  }
  Write(line);
}

void RunLog::OnNote(std::string_view text) { Write(text); }
