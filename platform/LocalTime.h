#pragma once
// The local calendar time of an instant, in the time zone the system is set to.

#include <ctime>

namespace nc16::platform {

std::tm LocalTime(std::time_t t);

}  // namespace nc16::platform
