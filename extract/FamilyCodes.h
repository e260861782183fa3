#pragma once
// Codes shared by the spouse and dependants sections.

#include <string>

namespace nc16 {

// SYOUGAISYA of a spouse or dependant from its disability and living-together categories.
inline std::string DisabilityCode(int syogai_kbn, int dokyo_kbn) {
  if (syogai_kbn == 0) return "1";
  if (syogai_kbn == 1) return dokyo_kbn != 0 ? "2" : "3";
  return "0";
}

}  // namespace nc16
