// The batch run's pieces that need no installation: data-set keys, the passwords file, the
// message as one line and the run's exit status.

#include "app/flow/Batch.h"

#include <gtest/gtest.h>

#include "app/flow/BatchSummary.h"
#include "platform/Cp932.h"

namespace nc16::test {
namespace {

TEST(Batch, KeyIsTheFolderPathsLastComponent) {
  for (auto [folder, key] : {std::pair<std::string, std::string>{"/a/b/DAT001", "DAT001"},
                             {"C:\\Data\\DB\\DAT002\\", "DAT002"},
                             {"DAT003", "DAT003"},
                             // 表 is 0x95 0x5C in CP932: its trail byte is no separator.
                             {"C:\\x\\" + SJ("表"), SJ("表")}}) {
    EXPECT_EQ(DataSetKey(folder), key) << folder;
  }
  EXPECT_EQ(DuplicateKey({{"DAT001", "", "", "/a/DAT001"}, {"dat001", "", "", "/b/dat001"}}),
            "DAT001");
  EXPECT_EQ(DuplicateKey({{"DAT001", "", "", "/a/DAT001"}, {"DAT002", "", "", "/a/DAT002"}}), "");
}

TEST(Batch, PasswordsFile) {
  ManagementPasswords p =
      ParseManagementPasswords({"\xEF\xBB\xBF# office passwords, after a byte-order mark", "", "  ",
                                "dat001\tpw 1", "DAT002\t\tpw", "DAT003\t" + std::string("秘密")});
  EXPECT_EQ(p, (ManagementPasswords{
                   {"DAT001", "pw 1"}, {"DAT002", "\tpw"}, {"DAT003", Utf8ToCp932("秘密")}}));
  EXPECT_EQ(ParseManagementPasswords({"\xEF\xBB\xBF"
                                      "DAT001\tpw"}),
            (ManagementPasswords{{"DAT001", "pw"}}));

  // Each fault names its line and never shows the password ("secret").
  using Lines = std::vector<std::string>;
  const std::pair<Lines, std::string> bad[] = {
      {{"DAT001 secret"}, "line 1: not KEY<TAB>password"},
      {{"\tsecret"}, "line 1: not KEY<TAB>password"},
      {{"DAT001\tsecret", "dat001\tsecret"}, "line 2: the key dat001 is given twice"},
      {{"DAT001\tsecret\xF0\x9F\x98\x80"}, "line 1: holds a character that Shift_JIS cannot hold"},
      // Saved as Shift_JIS: said as such, not as a character Shift_JIS cannot hold.
      {{"#", "DAT001\tsecret" + Utf8ToCp932("秘密")}, "line 2: is not UTF-8 text"},
      {{"\xEF\xBB\xBF"
        "DAT001\tsecret\xE9"},
       "line 1: is not UTF-8 text"},
      {{"DAT001\tsecret\xED\xA0\x80"}, "line 1: is not UTF-8 text"},  // a surrogate
      {{"DAT001\tsecret\xC0\xAF"}, "line 1: is not UTF-8 text"},      // an overlong "/"
      {{"#", "", std::string("DAT001\tsec\0ret", 14)}, "line 3: holds a zero byte"},
      {{std::string("DAT\0"
                    "001\tsecret",
                    14)},
       "line 1: holds a zero byte"},
      {{"x\tsecret",
        "\xEF\xBB\xBF"
        "DAT001\tsecret"},
       "line 2: holds a character that Shift_JIS cannot hold"},  // a mark only before line 1
  };
  for (const auto& [lines, message] : bad) {
    SCOPED_TRACE(message);
    try {
      ParseManagementPasswords(lines);
      ADD_FAILURE() << "accepted";
    } catch (const std::invalid_argument& e) {
      EXPECT_TRUE(std::string(e.what()).starts_with(message)) << e.what();
      EXPECT_EQ(std::string(e.what()).find("secret"), std::string::npos) << e.what();
    }
  }
}

// A line names its data set by the key's characters: the folder's name may use any of the CP932
// codes of a character (NEC, IBM, NEC-selected IBM), and the line's key is one character either
// way.
TEST(Batch, PasswordKeysAreMatchedAsCharacters) {
  const std::pair<const char*, std::vector<std::string>> keys[] = {
      {"髙木", {"\xFB\xFC\x96\xD8", "\xEE\xE0\x96\xD8"}},
      {"∵", {"\x81\xE6", "\x87\x9A", "\xFA\x5B"}},
      {"Ⅰ社", {"\x87\x54\x8E\xD0", "\xFA\x4A\x8E\xD0"}},
      {"≒", {"\x81\xE0", "\x87\x90"}},
      {"￢dat",
       {"\x81\xCA"
        "DAT",
        "\xEE\xF9"
        "dat",
        "\xFA\x54"
        "Dat"}},
  };
  for (const auto& [utf8, codes] : keys) {
    const ManagementPasswords p = ParseManagementPasswords({std::string(utf8) + "\tpw"});
    for (const std::string& folder_key : codes) {
      auto found = p.find(PasswordKey(folder_key));
      ASSERT_NE(found, p.end()) << utf8 << " as " << Cp932ToUtf8(folder_key);
      EXPECT_EQ(found->second, "pw");
    }
  }
  // Two folders whose names are one key: one file on Windows, one line of the passwords file.
  EXPECT_EQ(DuplicateKey({{"\xFB\xFC", "", "", "/a/1"}, {"\xEE\xE0", "", "", "/a/2"}}), "\xFB\xFC");
  // Bytes that are no CP932 text match nothing that another key or a line could give.
  EXPECT_NE(PasswordKey("\xA0"), PasswordKey("\xFD"));
  EXPECT_NE(PasswordKey("\xFD"), PasswordKey("\xEF\xBF\xBD"));
}

TEST(Batch, MessageAsOneLine) {
  for (auto [message, line] :
       {std::pair{"a\rb\r", "a / b"}, {"a\r\rb\r\r", "a / b"}, {"\ra\tb", "a b"}, {"", ""}}) {
    EXPECT_EQ(OneLine(message), line) << message;
  }
}

TEST(Results, OneTableGivesEveryFrontEndsCode) {
  using R = ExportResult;
  struct Case {
    R result;
    bool log_failed;
    int exit_status;
    int32_t launcher;
    std::string_view word;
  };
  for (const Case& c :
       {Case{R::kWritten, false, 0, 0, "written"}, Case{R::kWritten, true, 6, 0, "log-failed"},
        Case{R::kNoEmployee, false, 3, 1, "no-employee"},
        Case{R::kProblems, false, 5, 1, "problems"},
        Case{R::kDataSetRefused, false, 4, 2, "refused"},
        Case{R::kRequestRefused, false, 4, 2, "failed"}, Case{R::kFailed, false, 4, 2, "failed"}}) {
    const ResultCodes& codes = CodesOf(c.result, c.log_failed);
    EXPECT_EQ(codes.exit_status, c.exit_status) << c.word;
    EXPECT_EQ(codes.launcher_result, c.launcher) << c.word;
    EXPECT_EQ(codes.word, c.word);
  }
  BatchOutcome written;
  written.Result = R::kWritten;
  EXPECT_EQ(ResultName(written, /*check=*/true), "ok");
}

TEST(Batch, ExitStatusIsTheMostSevereDataSets) {
  using R = ExportResult;
  constexpr R kLogFailed = static_cast<R>(-1);  // written, its log record not
  auto status = [](std::vector<R> results) {
    std::vector<BatchOutcome> outcomes;
    for (R r : results) {
      outcomes.emplace_back().Result = r == kLogFailed ? R::kWritten : r;
      outcomes.back().LogFailed = r == kLogFailed;
    }
    return BatchExitStatus(outcomes);
  };
  EXPECT_EQ(status({R::kWritten, R::kWritten}), 0);
  EXPECT_EQ(status({R::kWritten, R::kNoEmployee, R::kProblems, R::kDataSetRefused}), 4);
  EXPECT_EQ(status({R::kProblems, R::kFailed}), 4);
  EXPECT_EQ(status({R::kProblems, R::kRequestRefused}), 4);
  EXPECT_EQ(status({R::kWritten, R::kNoEmployee, R::kProblems}), 5);
  EXPECT_EQ(status({R::kProblems, kLogFailed}), 6);
  EXPECT_EQ(status({kLogFailed, R::kNoManagementPassword}), 4);
  EXPECT_EQ(status({R::kWritten, R::kNoEmployee}), 3);
  EXPECT_EQ(status({}), 3);
}

}  // namespace
}  // namespace nc16::test
