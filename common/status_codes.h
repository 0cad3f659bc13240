// The outcome of an update: 0 is success, 0x10430001..0x10430015 are the tool's own
// failures, any other value is a provider's "ReturnValue" passed through unchanged.
#pragma once

#include <cstdint>

using StatusCode = std::uint32_t;

inline constexpr StatusCode kSuccess = 0;
inline constexpr StatusCode TBFW_E_NO_ACPI_DEVICE = 0x10430001;
inline constexpr StatusCode TBFW_E_NO_CONTROLLER = 0x10430002;
inline constexpr StatusCode TBFW_E_NO_PROVIDER = 0x10430003;
inline constexpr StatusCode TBFW_E_UNKNOWN_DEVICE = 0x10430004;
inline constexpr StatusCode TBFW_E_NO_IMAGE = 0x10430005;
inline constexpr StatusCode TBFW_E_FIELD_MISMATCH = 0x10430006;
inline constexpr StatusCode TBFW_E_NO_MEMORY = 0x10430007;
inline constexpr StatusCode TBFW_E_UNSUPPORTED_CONTROLLER = 0x10430008;
inline constexpr StatusCode TBFW_E_GENERATION_MISMATCH = 0x10430009;
inline constexpr StatusCode TBFW_E_PORT_VARIANT_MISMATCH = 0x1043000A;
inline constexpr StatusCode TBFW_E_LEVEL_MISMATCH = 0x1043000B;
inline constexpr StatusCode TBFW_E_DOWNGRADE = 0x1043000C;
// Two or more images of the data folder fit the controller and differ: which one the
// maker meant cannot be told, so none is written.
inline constexpr StatusCode TBFW_E_AMBIGUOUS_IMAGE = 0x1043000D;
// The computer went on battery while the controller settled: nothing was written.
inline constexpr StatusCode TBFW_E_ON_BATTERY = 0x1043000E;
// An unattended run that writes nothing because nothing is left to do: the controller
// already runs the image's version, or this very image was written since the system
// started and only the power-off is still due.
inline constexpr StatusCode TBFW_E_ALREADY_CURRENT = 0x1043000F;
inline constexpr StatusCode TBFW_E_WRITE_PENDING = 0x10430010;
// The record of earlier writes exists but cannot be read whole: an unattended run cannot
// tell whether this image is already written, so it writes nothing unless forced.
inline constexpr StatusCode TBFW_E_RECORD_UNREADABLE = 0x10430011;
// The power scheme's lid and button actions could be neither set to do nothing for the
// write nor put back as they were: nothing was written, and the next start restores them.
inline constexpr StatusCode TBFW_E_POWER_SCHEME = 0x10430012;
// The package (the program's folder, data, Update.ini or an image) can be changed by
// others than the administrators: nothing was done.
inline constexpr StatusCode TBFW_E_PACKAGE_UNTRUSTED = 0x10430013;
// An image of the data folder is held open by a program that lets no reader share it (a
// writer, say): nothing was written, and a later run may find it free.
inline constexpr StatusCode TBFW_E_IMAGE_IN_USE = 0x10430014;
// The system's code for a file another program holds open without sharing it.
inline constexpr std::uint32_t kSystemSharingViolation = 32;
// A "<program>.local" entry beside the program, through which DLLs could be redirected:
// nothing was done.
inline constexpr StatusCode TBFW_E_DLL_REDIRECTION = 0x10430015;
