// The log of one run, for the people who deploy the tool: UTF-8, one line per event, each
// starting with the local time "YYYY-MM-DD HH:MM:SS.mmm". Without a file nothing is written.
// The command line, the message, the controller's id and the image's path come from outside
// the program and are written through LogText: no control or direction mark reaches the file.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/worker_events.h"
#include "platform/log_file.h"

class RunLog final : public WorkerEvents {
 public:
  explicit RunLog(LogFile* file) : file_(file) {}

  // One line: the time stamp, a space, `text`. Lines from two threads (the worker's and a
  // window's) never interleave.
  void Write(std::string_view text);
  void Start(std::string_view version, std::u16string_view commandLine);
  // The update's outcome: its status and the English text of its message.
  void Status(StatusCode status, std::u16string_view englishMessage);
  void ExitCode(int exitCode);

  void OnStep(std::string_view step, std::uint32_t result) override;
  void OnSystemError(std::string_view step, SystemError error) override;
  void OnController(std::u16string_view id, std::uint32_t nvmVersion) override;
  void OnImage(std::u16string_view path, std::span<const std::uint8_t> bytes) override;
  void OnImageVersion(std::uint32_t nvmVersion) override;
  void OnRefusedField(std::u16string_view field) override;
  void OnImageChosen(std::u16string_view path) override;
  void OnImagesAmbiguous(std::span<const std::u16string> paths) override;
  void OnNote(std::string_view text) override;

  // The SHA-256 of the image the run chose; empty when it chose none.
  const std::string& ChosenImageSha() const { return chosenSha_; }

 private:
  LogFile* file_;
  std::mutex writing_;
  std::vector<std::pair<std::u16string, std::string>> digests_;  // of each image read, by path
  std::string chosenSha_;
};

// "0x" and eight upper-case hexadecimal digits.
std::string Hex32(std::uint32_t value);
