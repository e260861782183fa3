// The data-set check of the second page and the era look-ups, on real tables.

#include "app/flow/DataSetCheck.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/flow/Startup.h"
#include "external/db/Db.h"
#include "external/vnprotect/VnProtect.h"
#include "mnlog/uMNLog.h"
#include "tests/PortableTemp.h"
#include "tests/extract/DataSetBuilder.h"
#include "tests/flow/Utf8Messages.h"

namespace nc16::test {
namespace {

class DataSetCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    nc16::testing::SetEnv("NC16_REGISTRY", (root_.Path() / "none.ini").string());
    nc16::testing::SetEnv("NC16_COMMON_APPDATA", root_.Path().string());
    info_ = std::make_unique<TDataExportInfo>("", "", 0, Remembering::kNothing);
    info_->OnSaveError = [](const std::string&) {};
    info_->CommonDataDir = FromNativePath(root_.Path());
    // clang-format off
    demo::WriteTable(FromNativePath(root_.Path()), "mGengo", 0, {
        {{"SearchKey", int64_t{1}}, {"GengoMei", SJIS("明治")}, {"StartNen", int64_t{1868}}, {"EndNen", int64_t{1912}}, {"HoseiNen", int64_t{1867}}},
        {{"SearchKey", int64_t{2}}, {"GengoMei", SJIS("大正")}, {"StartNen", int64_t{1912}}, {"EndNen", int64_t{1926}}, {"HoseiNen", int64_t{1911}}},
        {{"SearchKey", int64_t{3}}, {"GengoMei", SJIS("昭和")}, {"StartNen", int64_t{1926}}, {"EndNen", int64_t{1989}}, {"HoseiNen", int64_t{1925}}},
        {{"SearchKey", int64_t{4}}, {"GengoMei", SJIS("平成")}, {"StartNen", int64_t{1989}}, {"EndNen", int64_t{2019}}, {"HoseiNen", int64_t{1988}}},
        {{"SearchKey", int64_t{5}}, {"GengoMei", SJIS("令和")}, {"StartNen", int64_t{2019}}, {"EndNen", int64_t{0}}, {"HoseiNen", int64_t{2018}}},
    });
    // clang-format on
  }

  std::string Company(const std::string& name, int version, int year, bool my_number = false,
                      const std::string& password = "") {
    auto folder = root_.Path() / name;
    std::filesystem::create_directories(folder);
    demo::Row row = {{"KaisyaMei", SJIS("会社" + name)},
                     {"SyoriNen", int64_t{year}},
                     {"Version", int64_t{version}},
                     {"MNUse", my_number}};
    if (!password.empty()) row["MNPW"] = EncodeStoredValue(password);
    demo::WriteTable(FromNativePath(folder), "mKaisya", version, {row});
    return FromNativePath(folder);
  }

  Utf8Shown Shown() const { return Utf8(shown_); }

  TempFolder root_;
  Messages shown_;
  std::unique_ptr<TDataExportInfo> info_;
};

TEST_F(DataSetCheckTest, EraOfAWesternYear) {
  DataSetCheck check(*info_);
  EXPECT_EQ(check.GetEraYear(2021, shown_), 3);
  EXPECT_EQ(Cp932ToUtf8(check.GetEraName(2021, shown_)), "令和");
  // A year shared by two eras takes the first row that matches: the older era.
  EXPECT_EQ(Cp932ToUtf8(check.GetEraName(1989, shown_)), "昭和");
  EXPECT_EQ(check.GetEraYear(1989, shown_), 64);
  EXPECT_EQ(check.GetEraYear(1800, shown_), 0);
  EXPECT_EQ(check.GetEraName(1800, shown_), "");
  EXPECT_TRUE(shown_.empty());
}

// The rows of the era table are kept between look-ups while the file is unchanged.
TEST_F(DataSetCheckTest, AnEraTableRewrittenAfterALookUpIsReadAnew) {
  const auto file = root_.Path() / "mGengo.db";
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
  auto write = [&](const char* name, int64_t start, std::chrono::seconds age) {
    for (const char* f : {"mGengo.db", "mGengo.PX"})
      std::filesystem::remove(root_.Path() / f);
    demo::WriteTable(FromNativePath(root_.Path()), "mGengo", 0,
                     {{{"SearchKey", int64_t{1}},
                       {"GengoMei", SJIS(name)},
                       {"StartNen", start},
                       {"EndNen", int64_t{0}},
                       {"HoseiNen", start - 1}}});
    std::filesystem::last_write_time(file, old + age);  // long settled
  };
  int reads = 0;
  db::SetTableReadHook([&](const std::string&) { ++reads; });
  DataSetCheck check(*info_);
  write("令和", 2019, std::chrono::seconds(0));
  EXPECT_EQ(Cp932ToUtf8(check.GetEraName(2021, shown_)), "令和");
  EXPECT_EQ(check.GetEraYear(2021, shown_), 3);
  // Another check (the batch's next data set) takes the rows already read.
  EXPECT_EQ(DataSetCheck(*info_).GetEraYear(2021, shown_), 3);
  EXPECT_EQ(reads, 1);
  write("新元", 2020, std::chrono::seconds(1));  // same size, another modification time
  EXPECT_EQ(Cp932ToUtf8(check.GetEraName(2021, shown_)), "新元");
  EXPECT_EQ(check.GetEraYear(2021, shown_), 2);
  EXPECT_EQ(DataSetCheck(*info_).GetEraYear(2021, shown_), 2);
  EXPECT_EQ(reads, 2);
  db::SetTableReadHook(nullptr);
  std::filesystem::remove(file);
  EXPECT_EQ(check.GetEraYear(2021, shown_), 0);
  EXPECT_EQ(shown_.size(), 1u);  // the missing table, as without the rows kept
}

TEST_F(DataSetCheckTest, AcceptsAnExportableCompanyAndReadsItsSettings) {
  std::string folder = Company("A", 700005, 2024, true, "Secret16");
  DataSetCheck check(*info_);
  ASSERT_TRUE(check.CheckSelectedData(folder, shown_));
  EXPECT_EQ(Cp932ToUtf8(info_->CompanyName), "会社A");
  EXPECT_EQ(info_->FilingYear, 6);
  EXPECT_EQ(Cp932ToUtf8(info_->EraName), "令和");
  EXPECT_EQ(info_->Mode, "NORMAL");
  EXPECT_EQ(info_->DataFolder, folder);
  EXPECT_EQ(info_->DataKey, folder);
  EXPECT_TRUE(check.MyNumberInUse);
  EXPECT_EQ(check.MyNumberPassword, "Secret16");

  // Another company below the My Number version does not inherit the first one's settings.
  std::string old = Company("B", 500002, 2019);
  ASSERT_TRUE(check.CheckSelectedData(old, shown_));
  EXPECT_FALSE(check.MyNumberInUse);
  EXPECT_EQ(check.MyNumberPassword, "");
  EXPECT_EQ(Cp932ToUtf8(info_->EraName), "平成");
  EXPECT_TRUE(shown_.empty());
}

TEST_F(DataSetCheckTest, RefusesFoldersThatCannotBeExported) {
  DataSetCheck check(*info_);
  std::filesystem::create_directories(root_.Path() / "empty");
  EXPECT_FALSE(check.CheckSelectedData(FromNativePath(root_.Path() / "empty"), shown_));
  EXPECT_FALSE(check.CheckSelectedData(Company("old", 20348, 2008), shown_));
  EXPECT_TRUE(check.CheckSelectedData(Company("oldest", 20349, 2008), shown_));
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(Shown()[0].first, MessageKind::kWarning);
  EXPECT_EQ(Shown()[0].second,
            "このﾃﾞｰﾀﾌｫﾙﾀﾞには給与ﾃﾞｰﾀがありません。\rもう一度、選び直してください。\r");
  EXPECT_EQ(Shown()[1].second,
            "このﾃﾞｰﾀは連動できません。\r最新版のミルベク給与でコンバート後、もう一度、選び直して"
            "ください。\r");

  // An unreadable company table is a database error, shown once.
  auto broken = root_.Path() / "broken";
  std::filesystem::create_directories(broken);
  { std::ofstream(broken / "mKaisya.db") << "not a table"; }
  shown_.clear();
  EXPECT_FALSE(check.CheckSelectedData(FromNativePath(broken), shown_));
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(Shown()[0].first, MessageKind::kError);
  EXPECT_TRUE(Shown()[0].second.starts_with("ﾃﾞｰﾀﾍﾞｰｽ ｴﾗｰ\r"));
}

#ifndef _WIN32  // permissions seen by another user, from a child process: POSIX only
// The message `message` gives to a user whom the permissions bind: as root (which reads
// everything), in a child that has become nobody (uid 65534); otherwise in a child as ourselves.
std::string AsOrdinaryUser(const std::function<std::string()>& message) {
  int fds[2];
  if (::pipe(fds) != 0) return "pipe failed";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
    const std::string m = message();
    if (::write(fds[1], m.data(), m.size()) != static_cast<ssize_t>(m.size())) ::_exit(3);
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  char buf[4096];
  for (ssize_t n; (n = ::read(fds[0], buf, sizeof buf)) > 0;)
    out.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? out : "child failed";
}

// What is there but cannot be used is named with its path and its real cause, never as missing:
// the log table that is a folder, a FIFO or a link to a device; a registry file that may not be
// read; a data folder that may not be listed (mode 0000, or 0111 where a table's name in another
// letter case cannot be found).
TEST_F(DataSetCheckTest, WhatCannotBeUsedIsNamedWithItsRealCause) {
  std::filesystem::permissions(root_.Path(), std::filesystem::perms(0755));
  const std::string folder = Company("A", 700005, 2024);
  const std::string log = folder + "/tMNLog.DB";
  const std::string registry = (root_.Path() / "none.ini").string();  // NC16_REGISTRY
  auto log_message = [&] {
    Messages shown;
    TMNLogClass writer(shown);
    writer.WriteLog(folder, "p", "s", "", "", "pc", "", "", "", 0, 0, 0);
    return shown.empty() ? std::string() : Cp932ToUtf8(shown[0].text);
  };
  auto check_message = [&] {
    Messages shown;
    DataSetCheck check(*info_);
    check.CheckSelectedData(folder, shown);
    return shown.empty() ? std::string() : Cp932ToUtf8(shown[0].text);
  };
  auto installation_message = [] {
    TDataExportInfo info("", "", 0, Remembering::kNothing);
    info.OnSaveError = [](const std::string&) {};
    return Cp932ToUtf8(CheckInstallation(info).value_or(""));
  };
  auto query_message = [&] {
    try {
      db::TQuery query;
      query.SetDatabaseName(folder);
      query.SQL() = {"SELECT * FROM \"MKAISYA.DB\""};
      query.Open();
      return std::string();
    } catch (const db::EDatabaseError& e) {
      return Cp932ToUtf8(e.what());
    }
  };
  const auto chmod = [](const std::string& path, unsigned mode) {
    std::filesystem::permissions(path, std::filesystem::perms(mode));
  };
  struct Case {
    const char* what;
    std::function<void()> make, undo;
    std::function<std::string()> message;
    bool as_ordinary_user;
    std::string says;   // UTF-8
    std::string never;  // the misleading word of old
  };
  const std::vector<Case> cases = {
      {"log table a folder", [&] { std::filesystem::create_directory(log); },
       [&] { std::filesystem::remove(log); }, log_message, false,
       "テーブル 'tMNLog.DB' を開けません: " + log + ": フォルダーです", "見つかりません"},
      {"log table a FIFO", [&] { ::mkfifo(log.c_str(), 0600); },
       [&] { std::filesystem::remove(log); }, log_message, false,
       "テーブル 'tMNLog.DB' を開けません: " + log + ": 通常のファイルではありません",
       "見つかりません"},
      {"log table a link to a device", [&] { std::filesystem::create_symlink("/dev/null", log); },
       [&] { std::filesystem::remove(log); }, log_message, false,
       "テーブル 'tMNLog.DB' を開けません: " + log + ": 通常のファイルではありません",
       "見つかりません"},
      {"registry file of mode 0000",
       [&] {
         std::ofstream(registry) << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VANTREL\\MILVEKKYUYO070]\n";
         chmod(registry, 0);
       },
       [&] { std::filesystem::remove(registry); }, installation_message, true,
       "ファイル " + registry + " を読み込めません: アクセスが拒否されました",
       "インストールされていません"},
      {"data folder of mode 0000", [&] { chmod(folder, 0); }, [&] { chmod(folder, 0755); },
       check_message, true,
       "このﾃﾞｰﾀﾌｫﾙﾀﾞを読み込めません。\r" + folder + ": アクセスが拒否されました\r",
       "給与ﾃﾞｰﾀがありません"},
      {"data folder of mode 0111", [&] { chmod(folder, 0111); }, [&] { chmod(folder, 0755); },
       check_message, true,
       "このﾃﾞｰﾀﾌｫﾙﾀﾞを読み込めません。\r" + folder + ": アクセスが拒否されました\r",
       "給与ﾃﾞｰﾀがありません"},
      {"a table in another case in a folder of mode 0111", [&] { chmod(folder, 0111); },
       [&] { chmod(folder, 0755); }, query_message, true,
       "テーブル 'MKAISYA.DB' を開けません: " + folder + ": アクセスが拒否されました",
       "見つかりません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.make();
    const std::string message = c.as_ordinary_user ? AsOrdinaryUser(c.message) : c.message();
    c.undo();
    EXPECT_NE(message.find(c.says), std::string::npos) << message;
    EXPECT_EQ(message.find(c.never), std::string::npos) << message;
  }
}
#endif

TEST(Startup, LaunchArgument) {
  auto a = ParseLaunchArgument("1234,32768,5,/tmp/out.xml.qve,c2VjcmV0");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->LauncherWindow, 1234u);
  EXPECT_EQ(a->LauncherMessage, 32768u);
  EXPECT_EQ(a->LauncherWParam, 5);
  EXPECT_EQ(a->LaunchFile, "/tmp/out.xml.qve");
  EXPECT_EQ(a->LaunchKey, "c2VjcmV0");
  auto three = ParseLaunchArgument("1234,32768,5");
  ASSERT_TRUE(three);
  EXPECT_EQ(three->LaunchFile, "");
  EXPECT_FALSE(ParseLaunchArgument("12x4,32768,5"));
  EXPECT_FALSE(ParseLaunchArgument("1234,,5.5"));
  EXPECT_EQ(SiblingProductMutexes().size(), 22u);
}

TEST(Startup, InstallationChecks) {
  TempFolder root;
  nc16::testing::SetEnv("NC16_REGISTRY", (root.Path() / "registry.ini").string());
  nc16::testing::SetEnv("NC16_COMMON_APPDATA", root.Path().string());
  {
    TDataExportInfo info("", "", 0, Remembering::kNothing);
    info.OnSaveError = [](const std::string&) {};
    EXPECT_EQ(Cp932ToUtf8(CheckInstallation(info).value_or("")),
              "[ミルベク給与]がインストールされていません。\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。");
  }
  {
    std::ofstream(root.Path() / "registry.ini")
        << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\VANTREL\\MILVEKKYUYO070]\nRootDir="
        << root.Path().string() << "/\n";
  }
  std::filesystem::create_directories(root.Path() / "MILVEKKYUYO16" / "Initdat");
  {
    TDataExportInfo info("", "", 0, Remembering::kNothing);
    info.OnSaveError = [](const std::string&) {};
    EXPECT_EQ(
        Cp932ToUtf8(CheckInstallation(info).value_or("")),
        "このﾌﾟﾛｸﾞﾗﾑはｾｯﾄｱｯﾌﾟされている[ミルベク給与]のﾊﾞｰｼﾞｮﾝに対応していません。\r"
        "[ミルベク給与] ﾊﾞｰｼﾞｮﾝ 7.0.0 以降をｾｯﾄｱｯﾌﾟしてください。\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。");
    info.TargetProductName.clear();
    EXPECT_EQ(Cp932ToUtf8(CheckInstallation(info).value_or("")),
              "起動情報の初期化に失敗しました。\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。");
  }
  {
    std::ofstream(root.Path() / "MILVEKKYUYO16" / "Initdat" / "Version.ini")
        << "[VERSION]\nMAJOR=7\nMINOR=01\nREVISION=002\n";
  }
  TDataExportInfo info("", "", 0, Remembering::kNothing);
  info.OnSaveError = [](const std::string&) {};
  EXPECT_FALSE(CheckInstallation(info));
}

}  // namespace
}  // namespace nc16::test
