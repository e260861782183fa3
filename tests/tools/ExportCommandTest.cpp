// nc16 export as a shell runs it: the exit status of every way it ends, its messages, and the
// encrypted file read back with nc16 decrypt.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "document/DataExportInfo.h"
#include "document/XMLSaveDoc.h"
#include "external/paradox/ParadoxTable.h"
#include "tests/tools/DemoTestSupport.h"

namespace nc16::demo::test {
namespace {

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class ExportCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    const DemoInstallation& inst = GeneratedFor(700005).installation;
    setenv("NC16_REGISTRY", Cp932ToUtf8(inst.registry_file).c_str(), 1);
    setenv("NC16_COMMON_APPDATA", Cp932ToUtf8(inst.common_appdata).c_str(), 1);
    setenv("NC16_LOCK_DIR", out_.Path().c_str(), 1);
    for (const auto& set : inst.data_sets)
      folders_.push_back(Cp932ToUtf8(set.folder));
    password_ = Cp932ToUtf8(inst.my_number_password);
  }

  // Runs nc16 with `args`; stderr is kept in err_.
  // `shell` goes before the command: the settings of the shell that runs it.
  int Run(const std::string& args, const std::string& shell = "") {
    std::string command = shell + std::string(NC16_CLI) + " " + args +
                          " </dev/null >/dev/null 2>'" + (out_.Path() / "stderr").string() + "'";
    int status = std::system(command.c_str());
    err_ = ReadFile(out_.Path() / "stderr");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Out(const char* name) const { return (out_.Path() / name).string(); }

  testing::TempFolder out_;
  std::vector<std::string> folders_;  // DAT001 ... DAT005
  std::string password_;
  std::string err_;
};

TEST_F(ExportCommand, PlainFile) {
  ASSERT_EQ(Run("export --data-folder '" + folders_[0] + "' --output " + Out("a.xml")), 0) << err_;
  EXPECT_TRUE(ReadFile(Out("a.xml")).starts_with("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"));
  EXPECT_EQ(err_, "中間ﾌｧｲﾙが作成されました。\n");

  // A relative name is the working directory's, as for any command, whatever the documents
  // folder; "-" is no file and is refused.
  std::filesystem::create_directories(out_.Path() / "home" / "Documents");
  const std::string from_here =
      "cd '" + Out("") + "' && HOME='" + Out("home") + "' XDG_CONFIG_HOME= ";
  ASSERT_EQ(Run("export --data-folder '" + folders_[0] + "' --output rel.xml", from_here), 0);
  EXPECT_TRUE(std::filesystem::exists(Out("rel.xml")));
  EXPECT_EQ(Run("export --data-folder '" + folders_[0] + "' --output -", from_here), 2);
  EXPECT_FALSE(std::filesystem::exists(Out("-")));
}

TEST_F(ExportCommand, IndividualNumbersAreEncryptedExactlyAndLogged) {
  auto log_records = [&] {
    return px::Table(std::filesystem::path(folders_[0]) / "tMNLog.DB").RecordCount();
  };
  size_t before = log_records();
  ASSERT_EQ(Run("export --data-folder '" + folders_[0] + "' --output " + Out("b.xml") +
                " --my-number --mn-password " + password_ + " --password 'pw!1'"),
            0)
      << err_;
  // The file page's rule: with individual numbers, .xml becomes .xml.qve.
  ASSERT_TRUE(std::filesystem::exists(Out("b.xml.qve")));
  EXPECT_EQ(log_records(), before + 1);
  ASSERT_EQ(Run("decrypt --password 'pw!1' " + Out("b.xml.qve") + " " + Out("b.dec")), 0) << err_;

  // Exactly the text of the document the export built.
  TDataExportInfo info("", "", 0, Remembering::kNothing);
  info.DataFolder = Utf8ToCp932(folders_[0]);
  info.IncludeMyNumber = 1;
  TXmlSaveDoc doc("1.0", "Shift_JIS", "");
  std::string decrypted = ReadFile(Out("b.dec"));
  // The header's company and year come from the data-set check; take them from the file.
  auto between = [&](const std::string& tag) {
    size_t a = decrypted.find("<" + tag + ">") + tag.size() + 2;
    return decrypted.substr(a, decrypted.find("</" + tag + ">") - a);
  };
  info.CompanyName = between("KOMONSAKINAME");
  info.FilingYear = std::stoi(between("SINKOKUNENDO"));
  info.Mode = "NORMAL";
  info.SetSystemNode(doc);
  info.SetBasicNode(doc);
  info.SetDataNode(doc);
  EXPECT_EQ(decrypted, doc.GetXmlText());
  EXPECT_NE(decrypted.find("<SIKIBETU_CODE>"), std::string::npos);
}

TEST_F(ExportCommand, LauncherKey) {
  ASSERT_EQ(Run("export --data-folder '" + folders_[0] + "' --output " + Out("c.xml.qve") +
                " --launcher-key c2VjcmV0LWtleQ== --function-id 7"),
            0)
      << err_;
  ASSERT_EQ(Run("decrypt --key c2VjcmV0LWtleQ== " + Out("c.xml.qve") + " " + Out("c.dec")), 0);
  EXPECT_NE(ReadFile(Out("c.dec")).find("<FUNCTIONID>7</FUNCTIONID>"), std::string::npos);

  // With a function id of 0 the launcher's file is written, yet never remembered.
  const std::string ini =
      Cp932ToUtf8(GeneratedFor(700005).installation.common_data_dir) + "/DataSelect.ini";
  ASSERT_EQ(Run("export --data-folder '" + folders_[1] + "' --output " + Out("mine.xml")), 0);
  ASSERT_EQ(Run("export --data-folder '" + folders_[1] + "' --output " + Out("l.xml.qve") +
                " --launcher-key c2VjcmV0LWtleQ=="),
            0)
      << err_;
  EXPECT_TRUE(std::filesystem::exists(Out("l.xml.qve")));
  EXPECT_NE(ReadFile(ini).find("EXPORTFILE=" + Out("mine.xml")), std::string::npos)
      << ReadFile(ini);
}

TEST_F(ExportCommand, EveryWayToEnd) {
  // Employee data with problems: the error list on stderr.
  EXPECT_EQ(Run("export --data-folder '" + folders_[2] + "' --output " + Out("d.xml")), 5);
  EXPECT_TRUE(err_.starts_with("社員情報に問題が見つかりました。\n")) << err_;
  EXPECT_NE(err_.find("扶養親族氏名が未設定です。"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Out("d.xml")));
  // No employee.
  EXPECT_EQ(Run("export --data-folder '" + folders_[3] + "' --output " + Out("e.xml")), 3);
  EXPECT_EQ(err_, "社員が登録されていません。\n");
  // A data set that cannot be exported.
  EXPECT_EQ(Run("export --data-folder '" + folders_[4] + "' --output " + Out("f.xml")), 4);
  EXPECT_TRUE(err_.starts_with("このﾃﾞｰﾀは連動できません。\n")) << err_;
  // A folder without payroll data.
  EXPECT_EQ(Run("export --data-folder '" + out_.Path().string() + "' --output " + Out("g.xml")), 4);
  EXPECT_TRUE(err_.starts_with("このﾃﾞｰﾀﾌｫﾙﾀﾞには給与ﾃﾞｰﾀがありません。")) << err_;
  // My Number password missing or wrong; a company without My Number.
  EXPECT_EQ(Run("export --data-folder '" + folders_[0] + "' --output " + Out("h.xml") +
                " --my-number --password x"),
            4);
  EXPECT_EQ(err_, "ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが入力されていません。\n");
  EXPECT_EQ(Run("export --data-folder '" + folders_[0] + "' --output " + Out("h.xml") +
                " --my-number --mn-password " + password_ + "X --password x"),
            4);
  EXPECT_EQ(err_, "ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが違います。\n");
  EXPECT_EQ(Run("export --data-folder '" + folders_[0] + "' --output " + Out("h.xml") +
                " --my-number --mn-password " + password_),
            4);
  EXPECT_TRUE(err_.starts_with("暗号化ﾊﾟｽﾜｰﾄﾞが入力されていません。")) << err_;
  EXPECT_EQ(Run("export --data-folder '" + folders_[1] + "' --output " + Out("h.xml") +
                " --my-number --mn-password x --password x"),
            4);
  // A file directly in the root folder of the system drive.
  EXPECT_EQ(Run("export --data-folder '" + folders_[0] + "' --output /h.xml"), 4);
  EXPECT_TRUE(err_.starts_with("ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(/)直下にﾌｧｲﾙは指定できません。")) << err_;
  EXPECT_FALSE(std::filesystem::exists(Out("h.xml")));
  // Wrong usage.
  EXPECT_EQ(Run("export --output " + Out("i.xml")), 2);
  EXPECT_EQ(Run("export --data-folder x"), 2);
  EXPECT_EQ(Run("export --data-folder x --output y --bogus"), 2);
  EXPECT_EQ(Run("export --data-folder x --output y --password a --launcher-key b"), 2);
}

TEST_F(ExportCommand, NoInstallation) {
  setenv("NC16_REGISTRY", Out("missing.ini").c_str(), 1);
  EXPECT_EQ(Run("export --data-folder '" + folders_[0] + "' --output " + Out("j.xml")), 4);
  EXPECT_EQ(err_, "[ミルベク給与]がインストールされていません。\n\nﾌﾟﾛｸﾞﾗﾑを強制終了します。\n");
}

TEST_F(ExportCommand, AMarkerThatCannotBeCreatedStopsWithItsPathAndCause) {
  const std::string lock = Out("locks") + "/MVKTONC16.mutex";
  std::filesystem::create_directories(lock);  // a folder where the lock file belongs
  setenv("NC16_LOCK_DIR", Out("locks").c_str(), 1);
  EXPECT_EQ(Run("export --data-folder '" + folders_[0] + "' --output " + Out("a.xml")), 4);
  EXPECT_EQ(err_, "ミューテックス MVKTONC16 を作成できません: " + lock +
                      ": Is a directory\n\nﾌﾟﾛｸﾞﾗﾑを強制終了します。\n");
  EXPECT_FALSE(std::filesystem::exists(Out("a.xml")));
}

// The demo installation with its names in upper case, as Windows tools leave them, and one
// written as a copy from Windows export the same document; the My Number log goes into the
// table as it is named there.
TEST_F(ExportCommand, CopiesFromWindowsExportTheSameDocument) {
  ASSERT_EQ(Run("export --data-folder '" + folders_[0] + "' --output " + Out("o.xml")), 0) << err_;
  const std::string ordinary = ReadFile(Out("o.xml"));
  ASSERT_FALSE(ordinary.empty());
  auto point_at = [](const std::string& root) {
    setenv("NC16_REGISTRY", (root + "/registry.ini").c_str(), 1);
    setenv("NC16_COMMON_APPDATA", (root + "/common").c_str(), 1);
  };

  // Renamed by hand: the data set's files and the product's Initdat\Version.ini.
  testing::TempFolder renamed;
  DemoOptions options;
  options.root = FromNativePath(renamed.Path());
  options.employees = kTestEmployees;
  options.seed = 7;
  const DemoInstallation plain = CreateDemoInstallation(options);
  auto to_upper = [](const std::filesystem::path& p) {
    std::string name = p.filename().string();
    for (char& c : name)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::filesystem::rename(p, p.parent_path() / name);
  };
  for (const auto& e : std::filesystem::directory_iterator(NativePath(plain.data_sets[0].folder)))
    to_upper(e.path());
  const auto initdat = NativePath(plain.data_root) / "Initdat";
  to_upper(initdat / "Version.ini");
  to_upper(initdat);
  point_at(renamed.Path().string());
  ASSERT_EQ(Run("export --data-folder '" + Cp932ToUtf8(plain.data_sets[0].folder) + "' --output " +
                Out("r.xml")),
            0)
      << err_;
  EXPECT_EQ(ReadFile(Out("r.xml")), ordinary);

  // Written as a copy from Windows; the data set named by its folder in the program's spelling
  // and by its Holder in the list.
  ASSERT_EQ(Run("demo-data --windows-copy --employees 32 --seed 7 --root " + Out("w")), 0) << err_;
  point_at(Out("w"));
  const std::string holder = "C:\\ProgramData\\VANTREL\\MILVEKKYUYO\\DB\\DAT001";
  for (const std::string& folder : {Out("w/common/vantrel/MILVEKKYUYO/db/dat001"), holder}) {
    ASSERT_EQ(Run("export --data-folder '" + folder + "' --output " + Out("w.xml")), 0) << err_;
    EXPECT_EQ(ReadFile(Out("w.xml")), ordinary) << folder;
  }
  ASSERT_EQ(Run("export --data-folder '" + holder + "' --output " + Out("w.xml") +
                " --my-number --mn-password " + password_ + " --password x"),
            0)
      << err_;
  const auto dat = std::filesystem::path(Out("w/common/VANTREL/MILVEKKYUYO/DB/DAT001"));
  EXPECT_EQ(px::Table(dat / "TMNLOG.DB").RecordCount(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dat / "tMNLog.DB"));
  // An existing file in another letter case is replaced, not joined by a second one.
  ASSERT_EQ(Run("export --data-folder '" + holder + "' --output " + Out("W.XML")), 0) << err_;
  EXPECT_FALSE(std::filesystem::exists(Out("W.XML")));
}

}  // namespace
}  // namespace nc16::demo::test
