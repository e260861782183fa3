// The output step: plain and encrypted files, the My Number log, and the message and result of
// every way it can end.

#include "app/flow/OutputStep.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/flow/CryptResult.h"
#include "document/ArgUtils.h"
#include "document/XMLSaveDoc.h"
#include "external/db/Db.h"
#include "external/paradox/ParadoxTable.h"
#include "external/paradox/ParadoxWriter.h"
#include "external/qvcrypt/QvCryptLib.h"
#include "extract/ErrorList.h"
#include "mnlog/uMNLog.h"
#include "platform/AtomicFile.h"
#include "tests/extract/DataSetBuilder.h"
#include "tests/flow/Utf8Messages.h"

namespace nc16::test {
namespace {

const QvCryptKdfLimits kFastKdf{1, 8192};

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// An export of a small data set with employees, started alone or by a launcher.
class OutputStep : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("NC16_REGISTRY", (data_.Path() / "none.ini").c_str(), 1);
    setenv("NC16_COMMON_APPDATA", data_.Path().c_str(), 1);
    setenv("HOME", home_.Path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    Write(2);
  }

  void Write(int employees) {
    std::filesystem::remove_all(data_.Path() / "set");
    std::filesystem::create_directories(data_.Path() / "set");
    DataSetBuilder data(700005);
    for (int i = 1; i <= employees; ++i)
      data.AddEmployee(i, "000" + std::to_string(i), "社員" + std::to_string(i));
    data.Write(data_.Path() / "set");
  }

  std::unique_ptr<TDataExportInfo> Info(const std::string& file, int my_number,
                                        const std::string& password = "") {
    auto info = std::make_unique<TDataExportInfo>("", password, 0, Remembering::kNothing);
    info->OnSaveError = [](const std::string&) {};
    info->DataFolder = FromNativePath(data_.Path() / "set");
    info->OutputFile = file;
    info->Password = password;
    info->IncludeMyNumber = my_number;
    info->CompanyName = SJIS("テスト株式会社");
    info->FilingYear = 6;
    info->Mode = "NORMAL";
    info->Errors = &errors_;
    return info;
  }

  ExportResult Run(TDataExportInfo& info, bool launcher = false) {
    OutputContext context;
    context.by_launcher = launcher;
    context.target = launcher ? info.OutputFile : ResolveOutputPath(info.OutputFile);
    context.kdf_limits = &kFastKdf;
    result_ = MakeIntermediateFile(info, context);
    shown_ = Utf8(result_.shown);
    return result_.result;
  }

  // Another process that holds the log table for the given time, as the payroll product does.
  pid_t HoldLogTable(int milliseconds) {
    int ready[2];
    EXPECT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
      px::TableWriter holder(data_.Path() / "set" / "tMNLog.DB");
      char c = 1;
      (void)!write(ready[1], &c, 1);
      usleep(static_cast<useconds_t>(milliseconds) * 1000);
      _exit(0);
    }
    char c;
    EXPECT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    close(ready[1]);
    return child;
  }

  size_t LogRecords() const { return px::Table(data_.Path() / "set" / "tMNLog.DB").RecordCount(); }

  std::string Decrypt(const std::filesystem::path& file, const std::string& secret, bool key) {
    void* data = nullptr;
    int32_t length = 0;
    int32_t rc =
        key ? QvCryptDecryptFileToMemByKeyBytes(file.c_str(), secret.data(),
                                                static_cast<int32_t>(secret.size()), &data, &length)
            : QvCryptDecryptFileToMem(file.c_str(), secret.c_str(), &data, &length);
    EXPECT_EQ(rc, 0);
    std::string text(static_cast<const char*>(data), static_cast<size_t>(length));
    QvCryptFreeMem(data);
    return text;
  }

  TempFolder data_, out_, home_;
  ErrorList errors_;
  OutputStepResult result_;
  Utf8Shown shown_;
};

TEST_F(OutputStep, PlainXmlWithoutIndividualNumbers) {
  auto file = out_.Path() / "a.xml";
  auto info = Info(FromNativePath(file), 0);
  EXPECT_EQ(Run(*info), ExportResult::kWritten);
  std::string bytes = ReadFile(file);
  EXPECT_TRUE(
      bytes.starts_with("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT><SYSTEM>"));
  EXPECT_NE(bytes.find("<KOMONSAKINAME>" + SJIS("テスト株式会社") + "</KOMONSAKINAME>"),
            std::string::npos);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2);
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(LogRecords(), 0u);
}

TEST_F(OutputStep, EncryptedWithPasswordAndLogged) {
  auto file = out_.Path() / "a.xml.qve";
  auto info = Info(FromNativePath(file), 1, "pass!word");
  EXPECT_EQ(Run(*info), ExportResult::kWritten);
  // The file holds exactly the document's text: the same header and employees built again.
  auto same = Info("", 1, "pass!word");
  TXmlSaveDoc doc("1.0", "Shift_JIS", "");
  same->SetSystemNode(doc);
  same->SetBasicNode(doc);
  same->SetDataNode(doc);
  EXPECT_EQ(Decrypt(file, "pass!word", false), doc.GetXmlText());
  struct stat st {};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // One record naming this computer, at this moment, and nobody in particular.
  px::Table log(data_.Path() / "set" / "tMNLog.DB");
  ASSERT_EQ(log.RecordCount(), 1u);
  auto row = log.At(0).GetAll();
  auto text_of = [&](int field) {
    return std::holds_alternative<std::string>(row[field]) ? std::get<std::string>(row[field])
                                                           : std::string();
  };
  EXPECT_EQ(text_of(log.FieldIndex("ProcessName")), SJIS("ゾルテ"));
  EXPECT_EQ(text_of(log.FieldIndex("ProcessSub")), SJIS("個人番号が外部に出力されました。"));
  EXPECT_EQ(text_of(log.FieldIndex("PcName")), GetPcName());
  EXPECT_EQ(text_of(log.FieldIndex("Serial")), "");
  EXPECT_EQ(text_of(log.FieldIndex("SyainCode")), "");
  EXPECT_EQ(std::get<int64_t>(row[log.FieldIndex("AppKbn")]), 0);
  EXPECT_EQ(std::get<int64_t>(row[log.FieldIndex("SyainKey")]), 0);
  ASSERT_TRUE(std::holds_alternative<px::Timestamp>(row[log.FieldIndex("ProcessDate")]));
  double ms = std::get<px::Timestamp>(row[log.FieldIndex("ProcessDate")]).ms;
  double days = ms / 86400000.0 - px::kDaysTo18991230;
  EXPECT_NEAR(days, TMNLogClass::Now(), 1.0 / 24);  // within the hour, whatever the time zone

  // A second export appends a second record and changes nothing else.
  auto again = Info(FromNativePath(out_.Path() / "b.xml.qve"), 1, "pass!word");
  EXPECT_EQ(Run(*again), ExportResult::kWritten);
  px::Table after(data_.Path() / "set" / "tMNLog.DB");
  ASSERT_EQ(after.RecordCount(), 2u);
  EXPECT_EQ(after.At(0).GetAll(), row);
}

TEST_F(OutputStep, LauncherKeyAlwaysEncrypts) {
  auto file = out_.Path() / "launch.xml.qve";
  // "secret-key" in Base64; the launcher's file is used as given.
  auto info = Info(FromNativePath(file), 0, "c2VjcmV0LWtleQ==");
  EXPECT_EQ(Run(*info, true), ExportResult::kWritten);
  EXPECT_TRUE(Decrypt(file, "secret-key", true).starts_with("<?xml"));
  EXPECT_EQ(LogRecords(), 0u);
  EXPECT_TRUE(shown_.empty());

  auto with_numbers = Info(FromNativePath(file), 1, "c2VjcmV0LWtleQ==");
  EXPECT_EQ(Run(*with_numbers, true), ExportResult::kWritten);
  EXPECT_EQ(LogRecords(), 1u);

  // A key is bytes: "AGFiY2Q=" is a zero byte and "abcd", used whole, never cut to nothing.
  auto zero = Info(FromNativePath(file), 0, "AGFiY2Q=");
  EXPECT_EQ(Run(*zero, true), ExportResult::kWritten);
  EXPECT_TRUE(Decrypt(file, std::string("\0abcd", 5), true).starts_with("<?xml"));
}

// Never the program's folder (installed: /usr/bin), which is no place for the user's files.
TEST_F(OutputStep, BareFileNameGoesToDocumentsOrHome) {
  auto info = Info("bare.xml", 0);
  EXPECT_EQ(Run(*info), ExportResult::kWritten);
  EXPECT_TRUE(std::filesystem::exists(home_.Path() / "bare.xml"));

  std::filesystem::create_directories(home_.Path() / "Documents");
  auto docs = Info("bare.xml", 0);
  EXPECT_EQ(Run(*docs), ExportResult::kWritten);
  EXPECT_TRUE(std::filesystem::exists(home_.Path() / "Documents" / "bare.xml"));
  EXPECT_EQ(ResolveOutputFolder("bare.xml"), FromNativePath(home_.Path() / "Documents"));
  EXPECT_EQ(ResolveOutputFolder("/data/out/a.xml"), "/data/out");
}

TEST_F(OutputStep, NoEmployeeAndProblemsAreInformation) {
  Write(0);
  auto info = Info(FromNativePath(out_.Path() / "a.xml"), 0);
  EXPECT_EQ(Run(*info), ExportResult::kNoEmployee);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].first, MessageKind::kInformation);
  EXPECT_EQ(shown_[0].second, "社員が登録されていません。\r\r");
  EXPECT_FALSE(std::filesystem::exists(out_.Path() / "a.xml"));

  // A dependant without a name: the error list is filled, no file is written.
  std::filesystem::remove_all(data_.Path() / "set");
  std::filesystem::create_directories(data_.Path() / "set");
  DataSetBuilder data(700005);
  data.AddEmployee(1, "0001", "社員");
  data.AddFamily(1, 1, 1, "");
  data.Write(data_.Path() / "set");
  auto problems = Info(FromNativePath(out_.Path() / "a.xml.qve"), 1, "pw");
  EXPECT_EQ(Run(*problems), ExportResult::kProblems);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].second, "社員情報に問題が見つかりました。\r\r");
  EXPECT_GT(errors_.Lines.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(out_.Path() / "a.xml.qve"));
  EXPECT_EQ(LogRecords(), 0u);
}

TEST_F(OutputStep, FailuresLeaveNoFileAndNoLogRecord) {
  // The crypt library cannot create the file: result 4 without a message of the step's own.
  auto missing = out_.Path() / "missing" / "a.xml.qve";
  auto info = Info(FromNativePath(missing), 1, "pw");
  EXPECT_EQ(Run(*info), ExportResult::kFailed);
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(LogRecords(), 0u);
  EXPECT_EQ(result_.crypt_result, QVCRYPT_ERR_CREATE);
  // The cause that follows Finish's message, in Japanese whatever the locale.
  EXPECT_EQ(Cp932ToUtf8(CryptResultText(result_.crypt_result, false, FromNativePath(missing))),
            "ファイルを作成できません (3): ファイル " + missing.string() +
                " を作成できません: 指定されたパスが見つかりません");

  // Plain XML into a missing folder: the error's message in an error box.
  auto plain = Info(FromNativePath(out_.Path() / "missing" / "a.xml"), 0);
  EXPECT_EQ(Run(*plain), ExportResult::kFailed);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].first, MessageKind::kError);
  EXPECT_EQ(shown_[0].second, "ファイル " + (out_.Path() / "missing" / "a.xml").string() +
                                  " を作成できません: 指定されたパスが見つかりません\r\r");

  // An existing file is left untouched by a failed export.
  auto existing = out_.Path() / "keep.xml";
  { std::ofstream(existing) << "old"; }
  Write(0);
  auto none = Info(FromNativePath(existing), 0);
  EXPECT_EQ(Run(*none), ExportResult::kNoEmployee);
  EXPECT_EQ(ReadFile(existing), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out_.Path()), {}), 1);
}

// Another program changes a table while the export reads the others: the rows read would mix
// two states of the data set (employees of one state with payments of the other). The change is
// made once the last table has been read, to a table read before it; whether it keeps the size,
// the inode or even the bytes, the export fails with its message and the file's name, and
// writes neither a file nor a log record.
TEST_F(OutputStep, ATableChangedWhileTheExportReadsFailsItAndWritesNothing) {
  enum class Change { kOtherRowsInPlace, kSameBytesInPlace, kReplacedByRename };
  struct Case {
    const char* what;
    const char* table;  // lower case
    Change change;
  };
  const Case cases[] = {
      {"employees rewritten in place", "msyain.db", Change::kOtherRowsInPlace},
      {"company table written again as it was", "mkaisya.db", Change::kSameBytesInPlace},
      {"employees replaced by a new file", "msyain.db", Change::kReplacedByRename},
  };
  TempFolder other;
  DataSetBuilder three(700005);
  for (int i = 1; i <= 3; ++i)
    three.AddEmployee(i, "000" + std::to_string(i), "別人" + std::to_string(i));
  three.Write(other.Path());
  // The table file of that (lower-case) name in a folder, as the writer spelled it.
  auto table_in = [](const std::filesystem::path& folder, const std::string& name) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      std::string lower = entry.path().filename().string();
      std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
      if (lower == name) return entry.path();
    }
    return folder / name;
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write(2);
    const auto table = table_in(data_.Path() / "set", c.table);
    // Well in the past, so that any write now gives it another modification time.
    std::filesystem::last_write_time(
        table, std::filesystem::last_write_time(table) - std::chrono::hours(1));
    const std::string bytes =
        ReadFile(c.change == Change::kSameBytesInPlace ? table : table_in(other.Path(), c.table));
    db::SetTableReadHook([&](const std::string& file) {
      if (!file.ends_with("tNenchoMeisai.DB") && !file.ends_with("tNenchoMeisai.db")) return;
      if (c.change == Change::kReplacedByRename) {
        std::ofstream(table.string() + ".new", std::ios::binary) << bytes;
        std::filesystem::rename(table.string() + ".new", table);
      } else {
        std::ofstream(table, std::ios::binary | std::ios::trunc) << bytes;
      }
    });
    auto info = Info(FromNativePath(out_.Path() / "a.xml.qve"), 1, "pw");
    const ExportResult result = Run(*info);
    db::SetTableReadHook(nullptr);
    EXPECT_EQ(result, ExportResult::kFailed);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].first, MessageKind::kError);
    EXPECT_EQ(shown_[0].second,
              "ﾃﾞｰﾀの読み込み中に給与ﾃﾞｰﾀが変更されました。\r中間ﾌｧｲﾙは作成していません。"
              "もう一度、やり直してください。\r" +
                  table.string() + "\r");
    EXPECT_TRUE(std::filesystem::is_empty(out_.Path()));
    EXPECT_EQ(LogRecords(), 0u);
  }
}

// The document reaches the disk while it is built: an export that fails after part of it was
// written (problems found in the last employee; a write that fails half-way) still leaves no
// file and no temporary file, plain or encrypted, and an existing file as it was.
TEST_F(OutputStep, AnExportThatFailsHalfWayLeavesNoFile) {
  // Enough employees for several hundred KB of document, the last one with a problem.
  const int employees = 150;
  auto write_set = [&](bool problem_in_last) {
    std::filesystem::remove_all(data_.Path() / "set");
    std::filesystem::create_directories(data_.Path() / "set");
    DataSetBuilder data(700005);
    for (int i = 1; i <= employees; ++i) {
      char code[8];
      std::snprintf(code, sizeof code, "%05d", i);
      data.AddEmployee(i, code, "社員" + std::to_string(i));
    }
    if (problem_in_last) data.AddFamily(employees, 1, 1, "");
    data.Write(data_.Path() / "set");
  };
  // Named temporary files, so that one left behind would show in the folder.
  AtomicFile::AllowUnnamedForTesting(false);
  struct sigaction ignore {
  }, old_action{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &old_action);
  rlimit old_limit{};
  getrlimit(RLIMIT_FSIZE, &old_limit);

  auto target = [&](bool encrypted) {
    const auto file = out_.Path() / (encrypted ? "a.xml.qve" : "a.xml");
    { std::ofstream(file) << "old"; }
    return file;
  };
  auto run = [&](const std::filesystem::path& file, bool encrypted) {
    return Run(*Info(FromNativePath(file), encrypted ? 1 : 0, encrypted ? "pw" : ""));
  };
  auto left_alone = [&](const std::filesystem::path& file) {
    EXPECT_EQ(LogRecords(), 0u);
    EXPECT_EQ(ReadFile(file), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out_.Path()), {}), 1);
    std::filesystem::remove(file);
  };

  write_set(true);
  for (bool encrypted : {false, true}) {
    SCOPED_TRACE(encrypted ? "problems, encrypted" : "problems, plain");
    const auto file = target(encrypted);
    EXPECT_EQ(run(file, encrypted), ExportResult::kProblems);
    EXPECT_EQ(result_.employees, std::optional<size_t>(employees));
    EXPECT_GT(errors_.Lines.size(), 1u);
    left_alone(file);
  }

  write_set(false);
  for (bool encrypted : {false, true}) {
    SCOPED_TRACE(encrypted ? "write error, encrypted" : "write error, plain");
    const auto file = target(encrypted);
    // Files may not grow past 100 KB while the export runs: its write fails part-way.
    rlimit small = old_limit;
    small.rlim_cur = 100 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const ExportResult failed = run(file, encrypted);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    EXPECT_EQ(failed, ExportResult::kFailed);
    if (encrypted) {
      EXPECT_EQ(result_.crypt_result, QVCRYPT_ERR_WRITE);
      EXPECT_TRUE(shown_.empty());
    } else {
      ASSERT_EQ(shown_.size(), 1u);
      EXPECT_EQ(shown_[0].first, MessageKind::kError);
      EXPECT_NE(shown_[0].second.find(file.string()), std::string::npos) << shown_[0].second;
    }
    left_alone(file);
  }
  sigaction(SIGXFSZ, &old_action, nullptr);
  AtomicFile::AllowUnnamedForTesting(true);
}

// Names, addresses and incomes: whatever its form, the file is for its owner's eyes only.
TEST_F(OutputStep, EveryFileIsOwnerOnly) {
  ::umask(022);
  for (auto [name, my_number] : {std::pair{"a.xml", 0}, std::pair{"a.xml.qve", 1}}) {
    auto file = out_.Path() / name;
    EXPECT_EQ(Run(*Info(FromNativePath(file), my_number, my_number ? "pw" : "")),
              ExportResult::kWritten);
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
  }
}

TEST_F(OutputStep, HeaderFaultIsAnErrorWithItsDetail) {
  auto info = Info(FromNativePath(out_.Path() / "a.xml"), 0);
  info->BusinessPrefix = "NC17";
  EXPECT_EQ(Run(*info), ExportResult::kFailed);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].first, MessageKind::kError);
  EXPECT_EQ(shown_[0].second,
            "業務Prefixが条件に加えられていません。\rSetBasicNode(BASICﾉｰﾄﾞを作成)\r");
}

TEST_F(OutputStep, LogFailuresAreReportedButTheExportStands) {
  std::filesystem::remove(data_.Path() / "set" / "tMNLog.DB");
  auto file = out_.Path() / "a.xml.qve";
  auto info = Info(FromNativePath(file), 1, "pw");
  EXPECT_EQ(Run(*info), ExportResult::kWritten);
  EXPECT_TRUE(std::filesystem::exists(file));
  EXPECT_TRUE(result_.log_failed);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].first, MessageKind::kError);
  EXPECT_TRUE(shown_[0].second.starts_with("ﾃﾞｰﾀﾍﾞｰｽｴﾝｼﾞﾝｴﾗｰ\r"));
  EXPECT_TRUE(shown_[0].second.ends_with("\r\r"));
}

// The table file of that name in the data set, whatever the case of its extension.
std::filesystem::path TableFile(const std::filesystem::path& folder, const std::string& stem) {
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().stem() == stem &&
        (entry.path().extension() == ".db" || entry.path().extension() == ".DB"))
      return entry.path();
  ADD_FAILURE() << "no table " << stem;
  return {};
}

// Lowers the header's record count by one, as a damaged header would.
void LowerRecordCount(const std::filesystem::path& table) {
  std::fstream f(table, std::ios::in | std::ios::out | std::ios::binary);
  unsigned char count[4];
  f.seekg(6);
  f.read(reinterpret_cast<char*>(count), 4);
  ASSERT_GT(count[0], 0);  // small counts: the low byte alone
  --count[0];
  f.seekp(6);
  f.write(reinterpret_cast<const char*>(count), 4);
}

TEST_F(OutputStep, AHeaderCountBelowTheRecordsIsCorruption) {
  // Three employees, a header that counts two: the export fails instead of dropping one.
  Write(3);
  LowerRecordCount(TableFile(data_.Path() / "set", "mSyain"));
  auto file = out_.Path() / "a.xml";
  EXPECT_EQ(Run(*Info(FromNativePath(file), 0)), ExportResult::kFailed);
  EXPECT_FALSE(std::filesystem::exists(file));
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].first, MessageKind::kError);
  EXPECT_NE(shown_[0].second.find("mSyain"), std::string::npos) << shown_[0].second;
  EXPECT_NE(shown_[0].second.find("header counts 2 records, the blocks hold 3"), std::string::npos)
      << shown_[0].second;

  // A log of two records whose header counts one: the append refuses and leaves it as it was.
  Write(1);
  const auto log = TableFile(data_.Path() / "set", "tMNLog");
  {
    px::TableWriter writer(log);
    writer.AppendMany({{std::monostate{}}, {std::monostate{}}});
  }
  LowerRecordCount(log);
  const std::string before = ReadFile(log);
  EXPECT_EQ(Run(*Info(FromNativePath(out_.Path() / "a.xml.qve"), 1, "pw")), ExportResult::kWritten);
  EXPECT_EQ(ReadFile(log), before);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_TRUE(shown_[0].second.starts_with("ﾃﾞｰﾀﾍﾞｰｽｴﾝｼﾞﾝｴﾗｰ\r"));
  EXPECT_NE(shown_[0].second.find("tMNLog"), std::string::npos) << shown_[0].second;
  EXPECT_NE(shown_[0].second.find("header counts 1 records, the blocks hold 2"), std::string::npos)
      << shown_[0].second;
}

// Another export holds the log for the moment of its own record: waited for. The payroll
// product holding it for longer: the engine's error, the file stands without its record.
TEST_F(OutputStep, LogTableHeldByAnotherProcess) {
  pid_t child = HoldLogTable(300);
  EXPECT_EQ(Run(*Info(FromNativePath(out_.Path() / "a.xml.qve"), 1, "pw")), ExportResult::kWritten);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(LogRecords(), 1u);

  TMNLogClass::SetBusyWaitForTesting(std::chrono::milliseconds(100));
  child = HoldLogTable(3000);
  EXPECT_EQ(Run(*Info(FromNativePath(out_.Path() / "b.xml.qve"), 1, "pw")), ExportResult::kWritten);
  TMNLogClass::SetBusyWaitForTesting(std::chrono::seconds(5));
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_TRUE(shown_[0].second.starts_with("ﾃﾞｰﾀﾍﾞｰｽｴﾝｼﾞﾝｴﾗｰ\r"));
  EXPECT_TRUE(result_.log_failed);
  EXPECT_EQ(LogRecords(), 1u);
}

// Ctrl+C, a kill or a closed terminal once the file of individual numbers is in place ends the
// export only after its audit record: the log table is held so the export waits between the two,
// and each signal is sent there.
TEST_F(OutputStep, SignalsWaitForTheLogRecord) {
  const auto file = out_.Path() / "a.xml.qve";
  size_t records = 0;
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal_number);
    std::filesystem::remove(file);
    pid_t holder = HoldLogTable(60000);
    pid_t exporter = fork();
    if (exporter == 0) {
      signal(signal_number, SIG_DFL);
      Run(*Info(FromNativePath(file), 1, "pw"));
      _exit(0);
    }
    while (!std::filesystem::exists(file))
      usleep(1000);
    kill(exporter, signal_number);
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    int status = 0;
    waitpid(exporter, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << status;
    EXPECT_EQ(LogRecords(), ++records);
  }
}

}  // namespace
}  // namespace nc16::test
