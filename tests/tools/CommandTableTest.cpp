// The command table is the one source of nc16's commands and options: the manual page and the
// README must name every one of them.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tools/nc16/Commands.h"

namespace nc16::cli {
namespace {

std::string Read(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A name as groff writes it: every "-" is "\-".
std::string Groff(std::string_view text) {
  std::string out;
  for (char c : text)
    out += c == '-' ? std::string("\\-") : std::string(1, c);
  return out;
}

TEST(CommandTable, TheManualPageAndTheReadmeNameEveryCommandAndOption) {
  const std::string man = Read(NC16_SOURCE_DIR "/docs/man/nc16.1");
  const std::string readme = Read(NC16_SOURCE_DIR "/README.md");
  ASSERT_FALSE(man.empty());
  for (const Command& c : AllCommands()) {
    EXPECT_NE(man.find(".B " + Groff(c.name)), std::string::npos) << c.name;
    EXPECT_NE(readme.find("nc16 " + std::string(c.name)), std::string::npos) << c.name;
    for (const Option& o : c.options) {
      const std::string option = "--" + std::string(o.name);
      EXPECT_NE(man.find(Groff(option)), std::string::npos) << c.name << " " << option;
      EXPECT_NE(readme.find(option), std::string::npos) << c.name << " " << option;
      EXPECT_NE(c.usage.find(option), std::string::npos) << c.name << " " << option;
    }
  }
}

TEST(CommandTable, ExportWithAllIsItsOwnForm) {
  char all[] = "--all";
  char* with_all[] = {all};
  EXPECT_EQ(FindCommand("export", with_all)->form, "all");
  EXPECT_EQ(FindCommand("export", {})->form, "");
  EXPECT_EQ(FindCommand("exports", {}), nullptr);
}

}  // namespace
}  // namespace nc16::cli
