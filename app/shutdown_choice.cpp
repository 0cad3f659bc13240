#include "app/shutdown_choice.h"

#include <array>

#include "app/update_run.h"

std::uint32_t ShutDownNow(SessionControl& session, UpdateView& view, const TextLookup& lookup) {
  const std::uint32_t refused = session.RequestPowerOff();
  if (refused == 0) {
    session.PostClose();
    return 0;
  }
  std::array<char16_t, kMessageCapacity> message{};
  FormatStatusMessage(refused, lookup, message.data(), message.size());
  view.SetMessage(message.data());
  return refused;
}
