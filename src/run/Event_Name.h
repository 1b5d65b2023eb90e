// The event being executed, and the names error messages give events.
#pragma once

#include <cstdint>
#include <string>

#include "resources/Event_Kind.h"

namespace px {

struct Runtime;

// The four values that describe the running event (event_type,
// event_number, event_object, event_action). event_object is the object in
// whose list the running actions were found, or the time line of a moment.
struct CurrentEvent {
  std::int32_t type = 0;
  std::int32_t number = 0;
  std::int32_t object = 0;
  std::int32_t action = 0;
};

// "Create Event", " Step Event", "Keyboard Event for <Left> Key", …
std::string EventName(const Runtime& rt, std::int32_t type, std::int32_t number);
std::string KeyName(std::int32_t key);
std::string MouseEventName(std::int32_t number);
std::string OtherEventName(std::int32_t number);

}  // namespace px
