// The program's first step: one wizard at a time, none beside the payroll family.

#include "app/ProgramStart.h"
#include "app/flow/Startup.h"
#include "tests/app/WizardFixture.h"
#include "tests/platform/TempFolder.h"

namespace nc16::test {
namespace {

using ProgramStart = WizardFixture;

TEST_F(ProgramStart, OnlyOneInstance) {
  std::optional<platform::NamedMutex> first = ClaimProgramMutex(boxes_);
  ASSERT_TRUE(first.has_value());
  EXPECT_TRUE(*first);
  EXPECT_FALSE(ClaimProgramMutex(boxes_).has_value());
  ExpectNoBox();  // silently
  first.reset();
  EXPECT_TRUE(ClaimProgramMutex(boxes_).has_value());
}

TEST_F(ProgramStart, RunningSiblingIsWarnedAbout) {
  for (std::string_view name : {SiblingProductMutexes().front(), SiblingProductMutexes().back()}) {
    platform::NamedMutex sibling = platform::NamedMutex::Create(name);
    EXPECT_FALSE(ClaimProgramMutex(boxes_).has_value());
    ExpectOneBox(MessageKind::kWarning,
                 "「ミルベク給与」又はそれに関連する製品が起動中です。\r"
                 "終了してから再度やり直して下さい。");
    // The program's own marker was not created.
    EXPECT_FALSE(platform::NamedMutex::Open(kOwnMutexName));
  }
  EXPECT_EQ(SiblingProductMutexes().size(), 22u);
}

// The marker is a file in the lock folder on POSIX; on Windows the folder only names the
// mutexes' namespace, and a kernel mutex is always created.
#ifndef _WIN32
TEST_F(ProgramStart, AMarkerThatCannotBeCreatedIsAStartUpStop) {
  const std::string folder = std::string(std::getenv("NC16_LOCK_DIR")) + "/missing";
  nc16::testing::ScopedEnv missing("NC16_LOCK_DIR", folder);
  EXPECT_FALSE(ClaimProgramMutex(boxes_).has_value());
  ExpectOneBox(MessageKind::kError,
               QString::fromStdString("ミューテックス MVKTONC16 を作成できません: " + folder +
                                      "/MVKTONC16.mutex: No such file or directory\r\r"
                                      "ﾌﾟﾛｸﾞﾗﾑを強制終了します。"));
}
#endif

}  // namespace
}  // namespace nc16::test
