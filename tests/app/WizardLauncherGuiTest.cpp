// The wizard and its launcher on POSIX systems: the launcher's window calls reach a stand-in
// launcher on a Unix socket, and the built program is started with fork and ended by signals.
// (On Windows the calls are real window messages: tests/launcher checks them.)

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <optional>
#include <thread>

#include "app/ProgramStart.h"
#include "app/flow/Startup.h"
#include "external/paradox/ParadoxTable.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/app/WizardFixture.h"

namespace nc16::test {
namespace {

size_t LogRecords(const std::filesystem::path& folder) {
  return px::Table(folder / "tMNLog.DB").RecordCount();
}

using Wizard = WizardFixture;
using ProgramStart = WizardFixture;

// The wait status of child `pid` once it has ended; nothing when it has not within ten seconds (a
// wizard that did not end would sit in its event loop), and then it is killed.
std::optional<int> WaitForEnd(pid_t pid) {
  int status = 0;
  for (int i = 0; i < 1000; ++i) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return status;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return std::nullopt;
}

TEST_F(Wizard, StartedByLauncherNotifiesIt) {
  FakeLauncher launcher(env_->Root());
  const auto file = env_->OutFolder() / "launch.xml.qve";
  // "secret-key" in Base64.
  ASSERT_TRUE(Start({"1234,32768,5," + file.string() + ",c2VjcmV0LWtleQ=="}));
  EXPECT_EQ(launcher.Received(), std::vector<std::string>({"EnableWindow 1234 0"}));
  EXPECT_EQ(F().Wizard1->PageCount(), 4);
  EXPECT_EQ(F().Wizard1->Page("page3"), nullptr);
  EXPECT_EQ(F().LauncherMessage, 32768u);
  EXPECT_EQ(F().LauncherWParam, 5);
  EXPECT_EQ(MemoLines(F().page1->Memo1a),
            QStringList({"『ミルベク給与』から『ゾルテ』へﾃﾞｰﾀの連動をおこないます。"}));

  Next();
  SelectDataSet(1);
  Next();
  ChooseMyNumber(1);
  Type(F().page5->edMNum, demo::kDemoMyNumberPassword);
  Next();
  EXPECT_EQ(Page(), "page4");
  EXPECT_EQ(Summary().size(), 5);  // no file part
  EXPECT_EQ(Summary()[1], " 会社名            : 株式会社ミルベク商事");
  Next();
  ExpectNoBox();  // a launcher is told by the notification, not by a box
  EXPECT_EQ(F().ResultCode, 0);
  EXPECT_EQ(launcher.Received(),
            std::vector<std::string>({"EnableWindow 1234 0", "SetForegroundWindow 1234",
                                      "EnableWindow 1234 1", "PostMessage 1234 32768 5 0"}));

  void* data = nullptr;
  int32_t length = 0;
  ASSERT_EQ(QvCryptDecryptFileToMemByKey(file.c_str(), "secret-key", &data, &length), 0);
  QvCryptFreeMem(data);
  EXPECT_EQ(LogRecords(env_->DataSetFolder(1)), 1u);

  // EXPORTFILE belongs to a wizard started alone; the function id 5 leaves it untouched.
  Destroy();
  const std::string ini = FromNativePath(env_->CommonDataDir() / "DataSelect.ini");
  EXPECT_EQ(platform::ReadProfileString(ini, "NENCHO", "EXPORTFILE", "none"), "none");
}

TEST_F(Wizard, TitleBarCloseWithALauncherPostsOne) {
  FakeLauncher launcher(env_->Root());
  ASSERT_TRUE(Start({"1234,32768,5"}));  // three fields: no file, no key
  EXPECT_EQ(F().LaunchFile, "");
  EXPECT_EQ(F().LaunchKey, "");
  EXPECT_EQ(F().Wizard1->PageCount(), 4);
  Next();
  F().close();
  ExpectNoBox();
  EXPECT_EQ(F().ResultCode, 1);
  F().close();  // a second close request notifies nobody again
  EXPECT_EQ(launcher.Received(),
            std::vector<std::string>({"EnableWindow 1234 0", "SetForegroundWindow 1234",
                                      "EnableWindow 1234 1", "PostMessage 1234 32768 5 1"}));
}

TEST_F(Wizard, CancelAsksAndYesEnds) {
  FakeLauncher launcher(env_->Root());
  ASSERT_TRUE(Start({"77,1025,0,/tmp/x.xml.qve,a2V5"}));
  Next();
  WizardBoxes::SetNextAnswer(MessageAnswer::kNo);
  QTest::mouseClick(F().btnCancel, Qt::LeftButton);
  auto shown = TakeBoxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, MessageKind::kInformation);
  EXPECT_EQ(shown[0].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(shown[0].text,
            "[ｷｬﾝｾﾙ]ﾎﾞﾀﾝが押されました。\r連動ﾃﾞｰﾀの作成ｳｨｻﾞｰﾄﾞを終了してもよろしいですか？\r");
  EXPECT_TRUE(F().isVisible());
  EXPECT_EQ(Page(), "page2");
  EXPECT_EQ(F().ResultCode, 2);
  EXPECT_EQ(launcher.Received().size(), 1u);

  WizardBoxes::SetNextAnswer(MessageAnswer::kYes);
  QTest::mouseClick(F().btnCancel, Qt::LeftButton);
  EXPECT_EQ(TakeBoxes().size(), 1u);
  EXPECT_FALSE(F().isVisible());
  EXPECT_EQ(F().ResultCode, 1);
  EXPECT_EQ(launcher.Received().back(), "PostMessage 77 1025 0 1");
}

TEST_F(Wizard, StartedAloneNotifiesNobody) {
  FakeLauncher launcher(env_->Root());
  ASSERT_TRUE(Start());
  F().close();
  EXPECT_EQ(F().ResultCode, 1);
  EXPECT_TRUE(launcher.Received().empty());
}

TEST_F(Wizard, StartUpStops) {
  FakeLauncher launcher(env_->Root());
  const QString invalid = "不正な引数が渡されました。\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。";
  EXPECT_FALSE(Start({"1,2,3", "second"}));
  ExpectOneBox(MessageKind::kError, invalid);
  EXPECT_FALSE(F().isVisible());
  // A numeric field that is not a number.
  EXPECT_FALSE(Start({"12x4,32768,5,/tmp/a,key"}));
  ExpectOneBox(MessageKind::kError, invalid);
  EXPECT_TRUE(launcher.Received().empty());

  // An older payroll product: the message names the lowest version, 7.0.0.
  const auto version_ini = NativePath(env_->Installation().data_root) / "Initdat" / "Version.ini";
  std::ofstream(version_ini, std::ios::trunc) << "[VERSION]\nMAJOR=6\nMINOR=99\nREVISION=999\n";
  EXPECT_FALSE(Start());
  ExpectOneBox(MessageKind::kError,
               "このﾌﾟﾛｸﾞﾗﾑはｾｯﾄｱｯﾌﾟされている[ミルベク給与]のﾊﾞｰｼﾞｮﾝに対応していません。\r"
               "[ミルベク給与] ﾊﾞｰｼﾞｮﾝ 7.0.0 以降をｾｯﾄｱｯﾌﾟしてください。\r\r"
               "ﾌﾟﾛｸﾞﾗﾑを強制終了します。");

  // No payroll product at all.
  nc16::testing::ScopedEnv no_registry("NC16_REGISTRY", (env_->Root() / "none.ini").string());
  EXPECT_FALSE(Start());
  ExpectOneBox(MessageKind::kError,
               "[ミルベク給与]がインストールされていません。\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。");
}

// The built program, as a second instance, ends at once without a window.
TEST_F(ProgramStart, SecondProgramEndsSilently) {
  platform::NamedMutex held = platform::NamedMutex::Create(kOwnMutexName);
  pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::execl(NC16_WIZARD_BINARY, NC16_WIZARD_BINARY, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const std::optional<int> ended = WaitForEnd(pid);
  ASSERT_TRUE(ended) << "the second instance did not end";
  const int status = *ended;
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

// The built program started by a launcher, then killed (kill, Ctrl+C, its terminal closed): it
// ends as a close does, so the launcher's window is enabled again and told "not finished" (2).
TEST_F(ProgramStart, SignalsEndTheWizardAsAClose) {
  FakeLauncher launcher(env_->Root());
  const std::string argument = "77,1025,5," + (env_->OutFolder() / "s.xml.qve").string() + ",a2V5";
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal_number);
    const size_t before = launcher.Received().size();
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
      ::signal(signal_number, SIG_DFL);  // as from a terminal, whoever runs the tests
      ::execl(NC16_WIZARD_BINARY, NC16_WIZARD_BINARY, argument.c_str(),
              static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // Up once it has disabled the launcher's window.
    for (int i = 0; i < 1000 && launcher.Received().size() == before; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::kill(pid, signal_number);
    const std::optional<int> ended = WaitForEnd(pid);
    ASSERT_TRUE(ended) << "the wizard did not end";
    const int status = *ended;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::vector<std::string> all = launcher.Received();
    EXPECT_EQ(
        std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()),
        std::vector<std::string>({"EnableWindow 77 0", "SetForegroundWindow 77",
                                  "EnableWindow 77 1", "PostMessage 77 1025 5 2"}));
  }
}

}  // namespace
}  // namespace nc16::test
