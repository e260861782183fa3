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
      ParseManagementPasswords({"# office passwords", "", "  ", "dat001\tpw 1", "DAT002\t\tpw",
                                "DAT003\t" + std::string("秘密")});
  EXPECT_EQ(p, (ManagementPasswords{
                   {"DAT001", "pw 1"}, {"DAT002", "\tpw"}, {"DAT003", Utf8ToCp932("秘密")}}));
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"DAT001 pw"}, {"\tpw"}, {"DAT001\ta", "dat001\tb"}, {"DAT001\t\xF0\x9F\x98\x80"}}) {
    EXPECT_THROW(ParseManagementPasswords(bad), std::invalid_argument) << bad.back();
  }
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
