// nc16 export --all, nc16 check and nc16 datasets as a shell runs them, on demo installations:
// each batch file against the single export's, the summary and exit status of every result, a
// damaged data set amid the others, the passwords file and the report page.

#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>
#include <libxml/xpath.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <tuple>

#include "external/paradox/ParadoxTable.h"
#include "tests/tools/DemoTestSupport.h"
#include "tools/demo/DemoCommonData.h"

namespace nc16::demo::test {
namespace {

namespace fs = std::filesystem;

// The employees of the main data set in its file: two of the hand-made ones are left out.
const std::string kWritten = std::to_string(kTestEmployees - 2);

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> Split(const std::string& text, char by) {
  std::vector<std::string> parts{""};
  for (char c : text) {
    if (c == by)
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

class BatchCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    DemoOptions options;
    options.root = FromNativePath(dir_.Path() / "demo");
    options.employees = kTestEmployees;
    options.seed = 7;
    options.data_sets = 2;  // DAT006 and DAT007
    inst_ = CreateDemoInstallation(options);
    setenv("NC16_REGISTRY", Cp932ToUtf8(inst_.registry_file).c_str(), 1);
    setenv("NC16_COMMON_APPDATA", Cp932ToUtf8(inst_.common_appdata).c_str(), 1);
    setenv("NC16_LOCK_DIR", dir_.Path().c_str(), 1);
    Secret("pw", "# the office's passwords\n\nDAT001\tvantrel16\ndat003\tvantrel16\n" +
                     std::string("DAT006\tvantrel16\nDAT007\tvantrel16\n"));
  }

  // Runs nc16 with `args`; stdout is split into summary rows by key, stderr kept in err_.
  // `shell` goes before the command: settings of the shell that runs it.
  int Run(const std::string& args, const std::string& shell = "") {
    std::string command = shell + std::string(NC16_CLI) + " " + args + " >'" + Out("stdout") +
                          "' 2>'" + Out("stderr") + "'";
    int status = std::system(command.c_str());
    out_ = ReadFile(Out("stdout"));
    err_ = ReadFile(Out("stderr"));
    rows_.clear();
    for (const std::string& line : Split(out_, '\n')) {
      std::vector<std::string> cells = Split(line, '\t');
      if (!line.empty()) rows_[cells[0]] = cells;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Out(const std::string& name) const { return dir_ / name; }
  std::string Folder(int n) const { return Cp932ToUtf8(inst_.data_sets.at(n - 1).folder); }
  std::string Secret(const std::string& name, const std::string& content, mode_t mode = 0600) {
    std::ofstream(Out(name), std::ios::binary) << content;
    ::chmod(Out(name).c_str(), mode);
    return Out(name);
  }
  size_t LogRecords(int n) const {
    return px::Table(fs::path(Folder(n)) / "tMNLog.DB").RecordCount();
  }
  // A data list of these data sets in place of the installation's.
  void ReplaceDataList(const std::vector<DemoDataSet>& sets) {
    for (const auto& entry : fs::directory_iterator(NativePath(inst_.common_data_dir) / "db"))
      if (entry.path().filename().string().starts_with("mDataList")) fs::remove(entry.path());
    WriteDataList(inst_.common_data_dir, sets, 2024);
  }
  // result, employees, file, my_number, message of a data set's summary row.
  std::vector<std::string> Row(const std::string& key) {
    auto cells = rows_.at(key);
    return {cells.begin() + 3, cells.end()};
  }

  testing::TempFolder dir_;
  DemoInstallation inst_;
  std::string out_, err_;
  std::map<std::string, std::vector<std::string>> rows_;
};

TEST_F(BatchCommand, EachFileIsTheSingleExportsAndEveryResultIsSummarised) {
  const fs::path select = NativePath(inst_.common_data_dir) / "DataSelect.ini";
  const std::string remembered = "[NENCHO]\r\nDATA=elsewhere\r\nKOMONSAKI=x\r\n";
  std::ofstream(select, std::ios::binary) << remembered;
  std::vector<size_t> logs;
  for (int n : {1, 3, 6, 7})
    logs.push_back(LogRecords(n));
  ASSERT_EQ(Run("export --all --output-dir " + Out("all") + " --my-number --mn-password-file " +
                Out("pw") + " --password 'pw!1' --report " + Out("r.html")),
            4)
      << err_;
  EXPECT_EQ(Split(out_, '\n').at(0),
            "key\tname\tperiod\tresult\temployees\tfile\tmy_number\tmessage");
  EXPECT_EQ(rows_.at("DAT001").at(1), "株式会社ミルベク商事");
  EXPECT_EQ(rows_.at("DAT001").at(2), "令和  6年 12月／ 2回");
  EXPECT_EQ(Row("DAT001"),
            (std::vector<std::string>{"written", kWritten, Out("all/DAT001.xml.qve"), "yes", ""}));
  EXPECT_EQ(Row("DAT002"),
            (std::vector<std::string>{"written", "5", Out("all/DAT002.xml"), "no", ""}));
  // Every data set tells its employees, the one with problems all of them.
  EXPECT_EQ(Row("DAT003"), (std::vector<std::string>{"problems", "6", "", "yes",
                                                     "社員情報に問題が見つかりました。"}));
  EXPECT_EQ(Row("DAT004"),
            (std::vector<std::string>{"no-employee", "0", "", "no", "社員が登録されていません。"}));
  EXPECT_EQ(Row("DAT005").at(0), "refused");
  EXPECT_TRUE(Row("DAT005").at(4).starts_with("このﾃﾞｰﾀは連動できません。 / 最新版")) << out_;
  EXPECT_NE(err_.find("== DAT003 エラー確認用 ==\n"), std::string::npos) << err_;
  EXPECT_EQ(fs::status(Out("all")).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(ReadFile(select), remembered);  // the remembered choice is left alone
  // Logged as a single export logs, once per file with individual numbers.
  EXPECT_EQ(LogRecords(1), logs[0] + 1);
  EXPECT_EQ(LogRecords(3), logs[1]);

  // Each file as `nc16 export --data-folder` writes it alone.
  const auto batch_rows = rows_;
  for (int n : {1, 2, 6, 7}) {
    const std::string key = "DAT00" + std::to_string(n);
    const std::vector<std::string> row(batch_rows.at(key).begin() + 3, batch_rows.at(key).end());
    ASSERT_EQ(row.at(0), "written") << key;
    const bool encrypted = row.at(3) == "yes";
    std::string single = Out("single/" + key + ".xml");
    fs::create_directories(Out("single"));
    ASSERT_EQ(Run("export --data-folder '" + Folder(n) + "' --output " + single +
                  (encrypted ? " --my-number --mn-password vantrel16 --password 'pw!1'" : "")),
              0)
        << err_;
    std::string batch = row.at(2);
    if (encrypted) {
      ASSERT_EQ(Run("decrypt --password 'pw!1' " + batch + " " + Out("b.dec")), 0) << err_;
      ASSERT_EQ(Run("decrypt --password 'pw!1' " + single + ".qve " + Out("s.dec")), 0) << err_;
      batch = Out("b.dec");
      single = Out("s.dec");
    }
    EXPECT_EQ(ReadFile(batch), ReadFile(single)) << key;
    EXPECT_EQ(ReadFile(batch).find("<SIKIBETU_CODE>") != std::string::npos, encrypted) << key;
  }
}

TEST_F(BatchCommand, CheckWritesNothingAndGivesTheExitStatusOfEachResult) {
  const std::string pw = Secret("pw", "DAT001\tvantrel16\n");
  for (auto [args, status] : {std::pair<std::string, int>{"--data-folder '" + Folder(1) + "'", 0},
                              {"--data-folder '" + Folder(3) + "'", 5},
                              {"--data-folder '" + Folder(4) + "'", 3},
                              {"--data-folder '" + Folder(5) + "'", 4},
                              {"--data-folder '" + Out("") + "'", 4},
                              {"--all --year 2023", 3},
                              {"--all --year 2024", 4},
                              {"--all", 4}}) {
    EXPECT_EQ(Run("check " + args), status) << args << err_;
  }
  EXPECT_EQ(rows_.size(), 8u);  // the header and the seven data sets
  EXPECT_EQ(Row("DAT001"), (std::vector<std::string>{"ok", kWritten, "", "no", ""}));
  EXPECT_EQ(Row("DAT003").at(0), "problems");
  EXPECT_EQ(LogRecords(1), 0u);
  EXPECT_FALSE(fs::exists(NativePath(inst_.common_data_dir) / "DataSelect.ini"));

  // datasets: the list with the check's verdict.
  ASSERT_EQ(Run("datasets"), 0) << err_;
  EXPECT_EQ(Split(out_, '\n').at(0), "key\tname\tperiod\tfolder\tversion\tstate");
  EXPECT_EQ(rows_.at("DAT002"),
            (std::vector<std::string>{"DAT002", "有限会社ゾルテ工業", "令和  6年 12月／ 1回",
                                      Folder(2), "700005", "ok"}));
  EXPECT_EQ(rows_.at("DAT005").at(4), "20348");
  EXPECT_TRUE(rows_.at("DAT005").at(5).starts_with("refused このﾃﾞｰﾀは連動できません。 / "));
  EXPECT_EQ(rows_.size(), 8u);

  // Wrong usage.
  for (const char* args :
       {"check", "check --all --data-folder x", "check --data-folder x --year 2024", "export --all",
        "export --all --output-dir d --my-number",
        "export --all --output-dir d --password a --password-file b",
        "export --all --output-dir d --year 24"}) {
    EXPECT_EQ(Run(args), 2) << args;
  }
}

TEST_F(BatchCommand, DamagedDataSetAmidTheOthersFailsAlone) {
  // mSyain of DAT002 overwritten in its header: the extraction cannot read it.
  {
    std::fstream f(fs::path(Folder(2)) / "mSyain.DB",
                   std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(0);
    f << std::string(64, '\xA5');
  }
  EXPECT_EQ(Run("export --all --output-dir " + Out("all")), 4) << err_;
  EXPECT_EQ(Row("DAT002").at(0), "failed");
  EXPECT_TRUE(Row("DAT002").at(4).ends_with("中間ﾌｧｲﾙの作成に失敗しました。")) << out_;
  for (const char* key : {"DAT001", "DAT006", "DAT007"})
    EXPECT_EQ(Row(key).at(0), "written") << key;
  EXPECT_FALSE(fs::exists(Out("all/DAT002.xml")));
}

TEST_F(BatchCommand, PasswordsFileRules) {
  const std::string all = "export --all --output-dir " + Out("all") + " --password x --my-number ";
  // Missing and wrong management passwords fail their data sets alone.
  Secret("pw", "DAT001\tvantrel16X\n# DAT006 left out\n");
  EXPECT_EQ(Run(all + "--mn-password-file " + Out("pw")), 4) << err_;
  EXPECT_EQ(Row("DAT001"), (std::vector<std::string>{"failed", kWritten, "", "no",
                                                     "ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが違います。"}));
  // A company that uses My Number without a line: the batch's own words, apart from failures.
  for (std::string key : {"DAT003", "DAT006", "DAT007"}) {
    const bool uses_my_number = inst_.data_sets.at(key.back() - '1').my_number;
    if (!uses_my_number) {
      EXPECT_EQ(Row(key).at(0), "written") << key;
      continue;
    }
    EXPECT_EQ(Row(key).at(0), "no-password") << key;
    EXPECT_EQ(Row(key).at(3), "yes") << key;
    EXPECT_EQ(Row(key).at(4), "マイナンバーを使用する会社ですが、パスワードファイルに " + key +
                                  " の行がありません。")
        << key;
  }
  // A company without My Number is written plain.
  EXPECT_EQ(Row("DAT002"),
            (std::vector<std::string>{"written", "5", Out("all/DAT002.xml"), "no", ""}));

  // Files refused before anything is written, as wrong usage, naming the line and never the
  // password.
  fs::remove_all(Out("all"));
  const std::string sjis_file = "DAT001\tvantrel16" + Utf8ToCp932("様") + "\n";
  for (auto [content, mode, says] :
       {std::tuple<std::string, int, std::string>{"DAT001\tvantrel16\n", 0640, "read"},
        {"DAT001\tvantrel16\n", 0604, "read"},
        {"DAT001\tvantrel16\n", 0620, "writ"},
        {"DAT001 vantrel16\n", 0600, "line 1: not KEY<TAB>password"},
        {"DAT001\ta\ndat001\tb\n", 0600, "line 2: the key dat001 is given twice"},
        {"#\n" + sjis_file, 0600, "line 2: is not UTF-8 text"},
        {std::string("DAT001\tvantrel16\0\n", 18), 0600, "line 1: holds a zero byte"}}) {
    Secret("bad", content, static_cast<mode_t>(mode));
    EXPECT_EQ(Run(all + "--mn-password-file " + Out("bad")), 2) << content << mode;
    EXPECT_FALSE(fs::exists(Out("all"))) << content;
    EXPECT_EQ(out_, "");
    EXPECT_NE(err_.find(says), std::string::npos) << err_;
    EXPECT_EQ(err_.find("vantrel16"), std::string::npos) << err_;  // never shown, not even so
  }
  // An encryption password file that cannot be used: the same status as for a single export.
  Secret("open", "enc\n", 0644);
  for (const std::string& file : {Out("open"), Out("missing")}) {
    EXPECT_EQ(Run(all + "--mn-password-file " + Out("pw") + " --password-file " + file), 2);
    EXPECT_NE(err_.find("--password-file"), std::string::npos) << err_;
    EXPECT_EQ(Run("export --all --output-dir " + Out("all") + " --password-file " + file), 2);
    EXPECT_EQ(Run("export --data-folder " + Folder(1) + " --output " + Out("one.xml") +
                  " --password-file " + file),
              2);
    EXPECT_FALSE(fs::exists(Out("all")));
  }
  // A byte-order mark before the first line, as Windows editors write one, is no character of
  // the key, nor of the encryption password.
  Secret("bom",
         "\xEF\xBB\xBF"
         "DAT001\tvantrel16\n");
  Secret("enc-bom",
         "\xEF\xBB\xBF"
         "enc\n");
  EXPECT_EQ(Run(all.substr(0, all.find("--password")) + "--my-number --mn-password-file " +
                Out("bom") + " --password-file " + Out("enc-bom")),
            4);
  EXPECT_EQ(Row("DAT001").at(0), "written") << out_ << err_;
  EXPECT_EQ(Run("decrypt --password enc " + Out("all/DAT001.xml.qve") + " " + Out("d")), 0);
  fs::remove_all(Out("all"));
  // The encryption password is required, and may come from a file.
  EXPECT_EQ(Run("export --all --output-dir " + Out("all") + " --my-number --mn-password-file " +
                Out("pw")),
            4);
  EXPECT_TRUE(err_.starts_with("暗号化ﾊﾟｽﾜｰﾄﾞが入力されていません。")) << err_;
  Secret("pw", "DAT001\tvantrel16\n");
  Secret("enc", "from file\n");
  EXPECT_EQ(Run("export --all --output-dir " + Out("all") + " --my-number --mn-password-file " +
                Out("pw") + " --password-file " + Out("enc")),
            4);
  ASSERT_EQ(Row("DAT001").at(0), "written");
  EXPECT_EQ(Run("decrypt --password 'from file' " + Out("all/DAT001.xml.qve") + " " + Out("d")), 0);
}

// What goes wrong around the data sets: a report that must not go where it was asked, a list that
// cannot be read, a file that cannot be written, a log record that cannot.
TEST_F(BatchCommand, TheRunsOwnFailuresHaveTheirStatuses) {
  const std::string all = "export --all --output-dir " + Out("all") + " ";
  Secret("pw.html", "DAT001\tvantrel16\n");
  ASSERT_EQ(::mkfifo(Out("fifo.html").c_str(), 0600), 0);
  fs::create_directory(Out("dir.html"));
  for (const std::string& args :
       {all + "--report " + Out("r.txt"), all + "--report " + Out("tMNLog.DB"),
        all + "--my-number --password x --mn-password-file " + Out("pw.html") + " --report " +
            Out("pw.html"),
        all + "--report " + Out("fifo.html"), all + "--report " + Out("dir.html"),
        "check --all --report " + Out("r.htm.DB"), all + "--mn-password-file " + Out("pw.html")}) {
    EXPECT_EQ(Run(args), 2) << args;
    EXPECT_FALSE(fs::exists(Out("all"))) << args;
    EXPECT_EQ(out_, "") << args;
  }
  EXPECT_EQ(ReadFile(Out("pw.html")), "DAT001\tvantrel16\n");
  EXPECT_TRUE(fs::is_fifo(Out("fifo.html")));

  // Only the first two data sets, which write cleanly.
  const std::vector<DemoDataSet> two(inst_.data_sets.begin(), inst_.data_sets.begin() + 2);
  ReplaceDataList(two);
  EXPECT_EQ(Run(all + "--report " + Out("missing/r.html")), 4);  // the report could not be
  EXPECT_EQ(Row("DAT002").at(0), "written");

  // A file bigger than the shell allows: the crypt library's cause on a line of its own.
  const std::string my_number = "--my-number --password x --mn-password-file " + Out("pw.html");
  EXPECT_EQ(Run(all + my_number, "trap '' XFSZ; ulimit -f 1; "), 4);
  EXPECT_EQ(Row("DAT001").at(0), "failed");
  EXPECT_NE(Row("DAT001").at(4).find("File too large"), std::string::npos) << out_;

  // The log record that cannot be written: its own result and status.
  fs::remove(fs::path(Folder(1)) / "tMNLog.DB");
  EXPECT_EQ(Run(all + my_number), 6);
  EXPECT_EQ(Row("DAT001").at(0), "log-failed");
  EXPECT_TRUE(fs::exists(Out("all/DAT001.xml.qve")));
  EXPECT_NE(Row("DAT001").at(4).find("tMNLog.DB"), std::string::npos) << out_;

  // A data list that cannot be read stops every command that reads it.
  {
    std::fstream f(NativePath(inst_.common_data_dir) / "db" / "mDataList.db",
                   std::ios::in | std::ios::out | std::ios::binary);
    f << std::string(64, '\xA5');
  }
  for (const char* args : {"datasets", "check --all", "export --all --output-dir x"})
    EXPECT_EQ(Run(args), 4) << args;
}

// A copy of the installation from Windows (upper-case names, one DB folder, Windows paths in
// the list) lists its local folders and writes the same files.
TEST_F(BatchCommand, ACopyFromWindowsWritesTheSameFiles) {
  ASSERT_EQ(Run("export --all --output-dir " + Out("plain")), 4) << err_;
  const auto plain_rows = rows_;
  DemoOptions options;
  options.root = FromNativePath(dir_.Path() / "win");
  options.employees = kTestEmployees;
  options.seed = 7;
  options.data_sets = 2;
  options.windows_copy = true;
  const DemoInstallation win = CreateDemoInstallation(options);
  setenv("NC16_REGISTRY", Cp932ToUtf8(win.registry_file).c_str(), 1);
  setenv("NC16_COMMON_APPDATA", Cp932ToUtf8(win.common_appdata).c_str(), 1);

  ASSERT_EQ(Run("datasets"), 0) << err_;
  EXPECT_EQ(rows_.at("DAT001").at(3), Out("win/common/vantrel/MILVEKKYUYO/DB/DAT001"));
  EXPECT_EQ(rows_.at("DAT007").at(5), "ok");
  ASSERT_EQ(Run("export --all --output-dir " + Out("copy")), 4) << err_;
  ASSERT_EQ(rows_.size(), plain_rows.size());
  for (const auto& [key, row] : plain_rows) {
    if (key == "key") continue;
    EXPECT_EQ(rows_.at(key).at(3), row.at(3)) << key;  // the result
    if (row.at(3) != "written") continue;
    EXPECT_EQ(ReadFile(Out("copy/" + key + ".xml")), ReadFile(Out("plain/" + key + ".xml"))) << key;
  }
}

TEST_F(BatchCommand, TwoDataSetsWithOneKeyAreRefusedBeforeAnyFile) {
  std::vector<DemoDataSet> sets = inst_.data_sets;
  const fs::path other = NativePath(inst_.root) / "other" / "dat001";
  fs::create_directories(other);
  fs::copy(NativePath(sets[0].folder), other, fs::copy_options::recursive);
  sets[1].folder = FromNativePath(other);
  ReplaceDataList(sets);
  EXPECT_EQ(Run("export --all --output-dir " + Out("all")), 4);
  EXPECT_NE(err_.find("share the key DAT001"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(Out("all")));
}

// A folder named with the NEC-selected IBM code of 髙 (0xEE 0xE0) is named in the passwords file
// by the character, which the file's UTF-8 gives and CP932 writes as 0xFB 0xFC.
TEST_F(BatchCommand, PasswordsFileNamesAFolderByItsCharacters) {
  std::vector<DemoDataSet> sets = {inst_.data_sets[0]};
  ASSERT_TRUE(sets[0].my_number);
  const std::string key = "\xEE\xE0\x96\xD8";  // 髙木
  const fs::path folder = NativePath(inst_.root) / NativePath(key);
  fs::create_directories(folder);
  fs::copy(NativePath(sets[0].folder), folder, fs::copy_options::recursive);
  sets[0].folder = inst_.root + "/" + key;
  ReplaceDataList(sets);
  Secret("pw", "髙木\tvantrel16\n");
  EXPECT_EQ(Run("export --all --output-dir " + Out("all") + " --password x --my-number " +
                "--mn-password-file " + Out("pw")),
            0)
      << out_ << err_;
  EXPECT_EQ(Row("髙木").at(0), "written") << out_;
  EXPECT_EQ(Row("髙木").at(3), "yes");
}

TEST_F(BatchCommand, ReportPage) {
  ASSERT_EQ(Run("export --all --output-dir " + Out("all") + " --my-number --mn-password-file " +
                Out("pw") + " --password 'enc-Secret9' --report " + Out("r.html")),
            4);
  const std::string html = ReadFile(Out("r.html"));
  htmlDocPtr doc = htmlReadMemory(html.data(), static_cast<int>(html.size()), "r.html", "UTF-8",
                                  HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
  ASSERT_NE(doc, nullptr);
  xmlXPathContextPtr xpath = xmlXPathNewContext(doc);
  auto count = [&](const char* expression) {
    xmlXPathObjectPtr found = xmlXPathEvalExpression(BAD_CAST expression, xpath);
    int n = found && found->nodesetval ? found->nodesetval->nodeNr : -1;
    xmlXPathFreeObject(found);
    return n;
  };
  EXPECT_EQ(count("/html[@lang='ja']"), 1);
  // A data set a body; its error list a full-width row of its own under its row.
  EXPECT_EQ(count("//table[@class='sets']/tbody"), 7);
  EXPECT_EQ(count("//table[@class='sets']/tbody[tr/td[1]='DAT003']/tr[@class='errors']"
                  "/td[@colspan='9']/details/pre"),
            1);
  EXPECT_EQ(count("//tr[contains(@class, 'problems')]"), 1);
  // No script, no outside resource, no style but the page's own.
  EXPECT_EQ(count("//script | //link | //img | //iframe | //object | //*[@src] | //*[@href]"), 0);
  EXPECT_EQ(count("//style"), 1);
  xmlXPathFreeContext(xpath);
  xmlFreeDoc(doc);
  // Neither password nor any individual number (12 digits in a row).
  for (const char* secret : {"vantrel16", "enc-Secret9", "url("})
    EXPECT_EQ(html.find(secret), std::string::npos) << secret;
  EXPECT_FALSE(std::regex_search(html, std::regex("[0-9]{12}")));
  EXPECT_NE(html.find(Cp932ToUtf8(inst_.common_data_dir)), std::string::npos);
}

// Names from the data list and paths given on the command line are text, wherever they are shown:
// no markup in the page, no control character on the terminal, never a field too many.
TEST_F(BatchCommand, HostileNamesStayText) {
  std::vector<DemoDataSet> sets = inst_.data_sets;
  const std::string markup = "<img src=x onerror=alert(1)>";
  sets[1].company = markup;
  sets[3].company = "a\tb\rc\nd\x1b[2J";
  ReplaceDataList(sets);
  const std::string folder = Out("out \" < & '");
  std::string quoted = "'";
  for (char c : folder)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  ASSERT_EQ(Run("export --all --output-dir " + quoted + "' --report " + Out("r.html")), 4) << err_;
  for (const std::string& line : Split(out_, '\n')) {
    if (!line.empty()) {
      EXPECT_EQ(Split(line, '\t').size(), 8u) << line;
    }
  }
  EXPECT_EQ(rows_.at("DAT004").at(1), "a\\tb\\rc\\nd\\x1b[2J");
  EXPECT_EQ(out_.find('\x1b'), std::string::npos);

  const std::string html = ReadFile(Out("r.html"));
  htmlDocPtr doc = htmlReadMemory(html.data(), static_cast<int>(html.size()), "r.html", "UTF-8",
                                  HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
  ASSERT_NE(doc, nullptr);
  xmlXPathContextPtr xpath = xmlXPathNewContext(doc);
  auto texts = [&](const char* expression) {
    xmlXPathObjectPtr found = xmlXPathEvalExpression(BAD_CAST expression, xpath);
    std::vector<std::string> values;
    for (int i = 0; found && found->nodesetval && i < found->nodesetval->nodeNr; ++i) {
      xmlChar* content = xmlNodeGetContent(found->nodesetval->nodeTab[i]);
      values.emplace_back(reinterpret_cast<const char*>(content));
      xmlFree(content);
    }
    xmlXPathFreeObject(found);
    return values;
  };
  EXPECT_EQ(texts("//tr[td[1]='DAT002']/td[@class='name']"), std::vector<std::string>{markup});
  EXPECT_TRUE(texts("//img | //*[@onerror] | //*[@src]").empty());
  EXPECT_EQ(texts("//table[@class='run']//tr[th='出力先フォルダ']/td"),
            std::vector<std::string>{folder});
  xmlXPathFreeContext(xpath);
  xmlFreeDoc(doc);
}

}  // namespace
}  // namespace nc16::demo::test
