// SHA-256 of a byte string, as 64 lower-case hexadecimal digits: how a pinned tool
// recognises the one image it may write, how the run log names the image it read, and
// how the emulated controller names the images it received.
#pragma once

#include <cstdint>
#include <span>
#include <string>

std::string Sha256Hex(std::span<const std::uint8_t> bytes);
