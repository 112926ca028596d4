#pragma once

#include <string>

#include "cardservice/card_service.h"

namespace app {

// The message for a card library that cannot be reached: which file did not load, the system's
// reason, and what the person installing the station can do about it; or the missing operation.
std::u16string UnavailableText(const cardservice::CardServiceUnavailable& unavailable);

}  // namespace app
