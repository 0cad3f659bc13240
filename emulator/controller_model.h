// One emulated controller and the world around it: its active NVM region and version, its
// power state, the service that brings its provider up, what it was sent, and the
// failures a test asks for. The in-process fakes of the platform interfaces act on it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/power_source.h"

// Where the emulated world fails, one point each.
enum class Fault {
  // COM and WMI
  kNoLocator,         // CoCreateInstance of the locator fails
  kNoNamespace,       // ConnectServer fails
  kQueryFails,        // ExecQuery fails
  kNoInstance,        // the query finds no controller
  kIdNotString,       // ControllerId is a number
  kIdTooLong,         // ControllerId too long for an object path
  kNoClass,           // GetObject of the class fails
  kNoMethod,          // GetMethod fails
  kNoSpawn,           // SpawnInstance fails
  kExecFails,         // ExecMethod fails
  kNoOutParams,       // ExecMethod succeeds without out-parameters
  kNoReturnValue,     // out-parameters without "ReturnValue"
  kNoData,            // ReadFirmware without "data"
  kNoNvmVersion,      // GetCurrentNvmVersion without "NvmVersion"
  kBufferNotCreated,  // the image's array for UpdateFirmware cannot be made
  kBufferSizeNotPut,  // UpdateFirmware's "BufferSize" cannot be put
  kReadRangeNotPut,   // ReadFirmware's "offset" and "length" cannot be put
  // ACPI driver
  kNoAcpiDevice,      // the device does not exist
  kAcpiControlFails,  // DeviceIoControl fails
  // service control manager
  kNoServiceManager,
  kServiceMissing,
  kServiceWontStart,
  // files and memory
  kNoMemory,   // the image block cannot be allocated
  kShortRead,  // ReadFile returns fewer bytes than asked
  kReadFails,  // ReadFile fails
  kSizeFails,  // the file's size cannot be had
  kCount,      // not a fault: the number of them, for tests that walk them all
};

// How the provider answers one out-parameter in place of the value the method contract
// gives.
enum class Reply {
  kNull,     // VT_NULL, as WMI gives an out-parameter the provider never set
  kMissing,  // not there: Get finds no such name
  kText,     // the string "0"
  kShort,    // "data": half the bytes asked for
  kEmpty,    // "data": an array of no bytes
};

struct DataEntry {
  std::u16string name;
  std::vector<std::uint8_t> bytes;
  bool heldByAWriter = false;  // another program holds it open for writing: it cannot be opened
};

struct ControllerModel {
  std::vector<std::uint8_t> region;  // the active NVM region, read from offset 0
  std::uint32_t nvmVersion = 0;
  std::u16string controllerId = u"PCI\\VEN_8086&DEV_1578\\3&11583659&0&A8";
  std::map<std::string, std::uint32_t> returnValues;  // a provider "ReturnValue" by method name
  std::map<std::string, Reply> replies;               // by "Method.Parameter", e.g. "ReadFirmware.data"
  std::set<Fault> faults;
  std::uint32_t acpiReplyBytes = 4;
  std::uint32_t updateMilliseconds = 0;  // how long writing an image takes
  bool serviceRunning = false;
  bool powered = false;

  // The program's folder and its data folder's entries, in the order the system lists them.
  std::u16string modulePath = u"C:\\Tools\\TbtFwUpdate.exe";
  std::vector<DataEntry> dataEntries;
  std::optional<std::string> pinnedImageDigest;  // the digest a pinned tool carries
  // The computer's power source, and whether the adapter is pulled during the first wait.
  PowerSource powerSource = PowerSource::kAc;
  bool unpluggedWhileSettling = false;

  // What happened, in order, one line per call that crosses the system's boundary.
  std::vector<std::string> log;
  std::vector<std::vector<std::uint8_t>> writtenImages;
  std::vector<std::uint32_t> devsRequests;  // the value of each "DEVS" request for the controller
  int openHandles = 0;                      // device, service and file handles not yet closed

  bool Has(Fault f) const { return faults.count(f) != 0; }
  // The controller's provider is there only while the service runs and the power is on.
  bool ProviderUp() const { return serviceRunning; }
  bool ControllerPresent() const { return serviceRunning && powered; }
};
