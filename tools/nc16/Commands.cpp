#include "tools/nc16/Commands.h"

#include <array>

namespace nc16::cli {

std::span<const Command> AllCommands() {
  // clang-format off
  static const std::array kCommands{
      Command{"version", "version", "print the program's version", RunVersion},
  };
  // clang-format on
  return kCommands;
}

}  // namespace nc16::cli
