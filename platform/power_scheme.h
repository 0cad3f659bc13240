// The actions of the active power scheme that sleep or shut down the computer at the
// user's hand, with no program asked: the lid closing and the power and sleep buttons.
// Holding the system awake (the execution state) does not stop them, so the write sets
// them to do nothing and puts them back after, remembering what to put back first.
#pragma once

#include <array>
#include <cstdint>

#include "platform/system_error.h"

// The scheme (its GUID's 16 bytes) and its actions: lid, power button, sleep button, each
// on mains power then on battery. An action is the system's index: 0 does nothing.
struct ButtonActions {
  std::array<std::uint8_t, 16> scheme{};
  std::array<std::uint32_t, 6> actions{};

  bool operator==(const ButtonActions&) const = default;
};

inline constexpr std::uint32_t kActionDoNothing = 0;

enum class MarkerRead : std::uint8_t {
  kNone,        // no change of an earlier run is waiting to be undone
  kRead,        // the actions an earlier run changed, as they were before
  kUnreadable,  // a marker that cannot be read whole: what to put back is unknown
};

class PowerScheme {
 public:
  virtual ~PowerScheme() = default;
  // The active scheme and its six actions; false when any cannot be read.
  virtual bool Read(ButtonActions& actions) = 0;
  // Sets the six actions of `actions.scheme` and applies the scheme, so they take effect
  // at once; false when any of them could not be set.
  virtual bool Write(const ButtonActions& actions) = 0;
  // The marker of a change in effect, kept where the next start of the tool finds it
  // after a crash or a power loss: the actions as they were before the change.
  virtual bool SaveMarker(const ButtonActions& before) = 0;
  virtual MarkerRead LoadMarker(ButtonActions& before) = 0;
  virtual bool ClearMarker() = 0;
  // Why the last call failed; empty when the system gave no reason.
  virtual SystemError LastFailure() const { return {}; }
};
