#include "platform/LocalTime.h"

namespace nc16::platform {

std::tm LocalTime(std::time_t t) {
  std::tm local{};
  ::localtime_s(&local, &t);
  return local;
}

}  // namespace nc16::platform
