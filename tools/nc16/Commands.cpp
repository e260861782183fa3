#include "tools/nc16/Commands.h"

#include <array>

namespace nc16::cli {

std::span<const Command> AllCommands() {
  // clang-format off
  static const std::array kCommands{
      Command{"version", "version", "print the program's version", RunVersion},
      Command{"export",
              "export --data-folder DIR --output FILE [--my-number --mn-password PW] "
              "[--password PW | --launcher-key BASE64 [--function-id N]]",
              "write the intermediate file of a data set; exit 0 written, 3 no employee, "
              "5 employee data with problems, 4 other failure, 2 wrong usage",
              RunExport},
      Command{"pxdump", "pxdump FILE [--codepage N] | pxdump --folder DIR --sql \"SELECT ...\"",
              "print a Paradox table, or the result of a query on a folder of tables, as "
              "tab-separated UTF-8 text", RunPxdump},
      Command{"decrypt", "decrypt (--password PW | --key BASE64) IN OUT",
              "decrypt an encrypted intermediate file (*.xml.qve) to OUT", RunDecrypt},
      Command{"vnprotect", "vnprotect encode|decode TEXT",
              "encode a text to its stored form in the payroll tables, or decode one",
              RunVnprotect},
      Command{"demo-data",
              "demo-data --root DIR [--employees N] [--data-version V] [--seed S] [--force] "
              "[--windows-copy]",
              "write a demo installation of the payroll product under DIR and print the "
              "export lines that point the programs at it; --windows-copy lays it out as a "
              "copy from Windows (upper-case names, one DB folder, Windows paths in the list)",
              RunDemoData},
  };
  // clang-format on
  return kCommands;
}

}  // namespace nc16::cli
