// nc16 vnprotect: the stored form of individual numbers and management passwords, for making
// test and demo tables and for looking at what a table holds.

#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "external/vnprotect/VnProtect.h"
#include "platform/Cp932.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {

int RunVnprotect(const Options& opts) {
  const std::vector<std::string>& args = opts.Positional();
  if (args.size() != 2) return UsageError("vnprotect needs encode|decode and one TEXT");
  const std::string_view verb = args[0];
  // Texts of the tables are CP932; the terminal speaks UTF-8.
  const std::string text = ExactCp932("TEXT", args[1]);
  if (verb == "encode") {
    try {
      std::cout << EncodeStoredValue(text) << "\n";
    } catch (const std::invalid_argument&) {
      PrintMessage(SJ("nc16 vnprotect: 200バイトを超える文字列は格納できません"));
      return 1;
    }
    return 0;
  }
  if (verb == "decode") {
    // The program ignores the library's status; this tool reports it, so that a value that is
    // not of this encoding is told apart from one that decodes to the empty text.
    char buffer[VNPROTECT_PLAIN_MAX + 1];
    std::memset(buffer, 0, sizeof buffer);
    int32_t status = 0;
    P_Check1(text.c_str(), kVnProtectKey, buffer, &status);
    if (status != VNPROTECT_OK) {
      PrintMessage(SJ("nc16 vnprotect: 復号できません (") + std::to_string(status) + ")");
      return 1;
    }
    std::cout << Cp932ToUtf8({buffer, strnlen(buffer, sizeof buffer)}) << "\n";
    return 0;
  }
  return UsageError("vnprotect needs encode or decode");
}

}  // namespace nc16::cli
