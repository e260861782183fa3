#include "tools/nc16/Commands.h"

#include <array>

namespace nc16::cli {

std::span<const Command> AllCommands() {
  // clang-format off
  static const std::array kCommands{
      Command{"version", "version", "print the program's version", RunVersion},
      Command{"pxdump", "pxdump FILE [--codepage N]",
              "print a Paradox table as tab-separated UTF-8 text", RunPxdump},
      Command{"decrypt", "decrypt (--password PW | --key BASE64) IN OUT",
              "decrypt an encrypted intermediate file (*.xml.qve) to OUT", RunDecrypt},
      Command{"vnprotect", "vnprotect encode|decode TEXT",
              "encode a text to its stored form in the payroll tables, or decode one",
              RunVnprotect},
      Command{"demo-data",
              "demo-data --root DIR [--employees N] [--data-version V] [--seed S] [--force]",
              "write a demo installation of the payroll product under DIR and print the "
              "export lines that point the programs at it",
              RunDemoData},
  };
  // clang-format on
  return kCommands;
}

}  // namespace nc16::cli
