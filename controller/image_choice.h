// Which image of the data folder to write when a package made for a product line holds
// several: each is checked against the controller in name order, and exactly one that
// fits may be written.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/status_codes.h"

// More images than any product line's package holds; a folder with more is refused rather
// than checked in part, since the one that fits could be among those left out.
inline constexpr std::size_t kMostImages = 32;

// The order images are tried in: UTF-16 code units with ASCII letters taken as upper
// case, the order NTFS lists a folder in, so every file system gives the same order.
bool ImageNameBefore(std::u16string_view a, std::u16string_view b);

// What checking one image gave: its status and, when it fits (0), its SHA-256.
struct ImageVerdict {
  StatusCode status = TBFW_E_NO_IMAGE;
  std::string sha256;
};

struct ImageChoice {
  // 0 when `chosen` is the one image to write; otherwise the run's status.
  StatusCode status = TBFW_E_NO_IMAGE;
  std::optional<std::size_t> chosen;
  // Every image that fits, when two or more of them differ (TBFW_E_AMBIGUOUS_IMAGE).
  std::vector<std::size_t> fitting;
};

// Whether `status` is a verdict on the image (it does not fit, or cannot be read as one)
// rather than a failure of the controller or the system, which would be the same for
// every image and leaves open whether another one fits.
bool IsVerdictOnImage(StatusCode status);

// Checks images 0 to count - 1 in order through `check`. None fits: the first image's
// status. One fits, or several with the same bytes: the first of them. Several that
// differ: TBFW_E_AMBIGUOUS_IMAGE. A failure that is no verdict on the image ends the
// choice at once with its status. No image at all: TBFW_E_NO_IMAGE.
ImageChoice ChooseImage(std::size_t count, const std::function<ImageVerdict(std::size_t index)>& check);
