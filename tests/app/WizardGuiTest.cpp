// The wizard end to end on a demo installation: started alone (plain and encrypted files), the
// endings of Finish, copies from Windows and the remembered choices. The launcher's window calls,
// Cancel and the start-up stops: WizardLauncherGuiTest.cpp.

#include <cctype>
#include <fstream>
#include <sstream>

#include "app/QtText.h"
#include "external/paradox/ParadoxTable.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/app/WizardFixture.h"

namespace nc16::test {
namespace {

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

size_t LogRecords(const std::filesystem::path& folder) {
  return px::Table(folder / "tMNLog.DB").RecordCount();
}

using Wizard = WizardFixture;

TEST_F(Wizard, StartedAloneWritesPlainXml) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(F().windowTitle(), QStringLiteral("ゾルテfromミルベク給与16"));
  EXPECT_EQ(F().Wizard1->PageCount(), 5);
  EXPECT_EQ(F().LauncherWindow, 0u);
  EXPECT_EQ(F().ResultCode, 2);
  EXPECT_EQ(Page(), "page1");
  EXPECT_TRUE(F().Button1->isHidden());
  EXPECT_EQ(MemoLines(F().page1->Memo1a),
            QStringList({"『ミルベク給与』から『ゾルテ』へﾃﾞｰﾀを連動させるための",
                         "中間ﾌｧｲﾙを作成します。"}));
  EXPECT_EQ(MemoLines(F().page1->Memo1b),
            QStringList({"『ミルベク給与』が起動している場合は終了してください。", "", "",
                         "作成を始めるには[次へ]をｸﾘｯｸしてください。"}));
  EXPECT_EQ(F().page2->Label2a->text(), "連動元となる『ミルベク給与』の対象ﾃﾞｰﾀを指定します。");
  EXPECT_EQ(F().page3->Label4a->text(), "連動先となる『ゾルテ』で使用する中間ﾌｧｲﾙを指定します。");

  Next();
  EXPECT_EQ(Page(), "page2");
  SelectDataSet(2);  // a company without My Number
  Next();
  EXPECT_EQ(Page(), "page5");
  EXPECT_FALSE(F().page5->grpMnNum->isEnabled());
  EXPECT_EQ(F().page5->grpMnNum->ItemIndex(), 0);
  EXPECT_TRUE(F().page5->edMNum->isHidden());
  Next();
  EXPECT_EQ(Page(), "page3");
  EXPECT_TRUE(F().page3->EditPass->isHidden());
  EXPECT_EQ(F().page3->Label4b->text(),
            "中間ﾌｧｲﾙ名が正しく指定されているか確認し、[次へ]をｸﾘｯｸしてください。");
  ExpectNoBox();

  Next();  // no file name yet
  ExpectOneBox(MessageKind::kWarning,
               "中間ﾌｧｲﾙが指定されていません。\r指定してから[次へ]をｸﾘｯｸしてください。\r");
  EXPECT_EQ(Page(), "page3");
  EXPECT_EQ(F().Button2->text(), "次へ(&N) >");

  const auto file = env_->OutFolder() / "a.xml";
  F().page3->Edit4a->setText(QString::fromStdString(file.string()));
  Next();
  EXPECT_EQ(Page(), "page4");
  EXPECT_EQ(F().Button2->text(), "完了(&F)");
  const QStringList summary = Summary();
  ASSERT_EQ(summary.size(), 8);
  EXPECT_EQ(summary[0], "【連動元情報】");
  EXPECT_EQ(summary[1], " 会社名            : 有限会社ゾルテ工業");
  EXPECT_EQ(summary[2], " 申告年度          : 令和 6年");
  EXPECT_EQ(summary[3], " ﾃﾞｰﾀﾌｫﾙﾀﾞﾊﾟｽ      : " + NativeSeparators("~/DB/DAT002"));
  EXPECT_EQ(summary[4], " 個人番号連動設定  : 連動情報に個人番号を含めない");
  EXPECT_EQ(summary[5], "");
  EXPECT_EQ(summary[6], "【中間ﾌｧｲﾙ】");
  EXPECT_EQ(summary[7], " " + QString::fromStdString(file.string()));

  Next();  // Finish
  ExpectOneBox(MessageKind::kInformation, "中間ﾌｧｲﾙが作成されました。\r");
  EXPECT_EQ(F().ResultCode, 0);
  EXPECT_FALSE(F().isVisible());
  EXPECT_TRUE(ReadFile(file).starts_with("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"));
  EXPECT_EQ(LogRecords(env_->DataSetFolder(2)), 0u);

  // The choices are remembered when the form goes.
  Destroy();
  const std::string ini = FromNativePath(env_->CommonDataDir() / "DataSelect.ini");
  EXPECT_EQ(platform::ReadProfileString(ini, "NENCHO", "DATA", ""), FromQ(env_->DataSetKey(2)));
  EXPECT_EQ(Cp932ToUtf8(platform::ReadProfileString(ini, "NENCHO", "KOMONSAKI", "")),
            "有限会社ゾルテ工業");
  EXPECT_EQ(platform::ReadProfileString(ini, "NENCHO", "EXPORTFILE", ""), file.string());

  // The next start selects the same data set and offers the same file.
  ASSERT_TRUE(Start());
  EXPECT_EQ(F().page2->Cell(3, F().page2->SelectedRow()), env_->DataSetKey(2));
  EXPECT_EQ(F().page3->Edit4a->text(), QString::fromStdString(file.string()));
}

TEST_F(Wizard, StartedAloneWithMyNumberEncryptsAndLogs) {
  ASSERT_TRUE(Start());
  Next();
  SelectDataSet(1);
  Next();
  EXPECT_TRUE(F().page5->grpMnNum->isEnabled());
  ChooseMyNumber(1);
  EXPECT_FALSE(F().page5->edMNum->isHidden());
  EXPECT_EQ(F().page5->Label6c->text(),
            "連動情報に個人番号を含める場合、ミルベク給与のﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞを正しく入力し、"
            "[次へ]をｸﾘｯｸしてください。");
  Next();
  ExpectOneBox(MessageKind::kWarning, "ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが入力されていません。\r");
  Type(F().page5->edMNum, "VANTREL16");  // letter case counts
  Next();
  ExpectOneBox(MessageKind::kWarning, "ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが違います。\r");
  EXPECT_EQ(Page(), "page5");
  F().page5->edMNum->clear();
  Type(F().page5->edMNum, demo::kDemoMyNumberPassword);
  Next();
  EXPECT_EQ(Page(), "page3");
  EXPECT_FALSE(F().page3->EditPass->isHidden());

  const auto file = env_->OutFolder() / "b.xml";
  F().page3->Edit4a->setText(QString::fromStdString(file.string()) + ".qve");
  Next();
  ExpectOneBox(MessageKind::kWarning,
               "暗号化ﾊﾟｽﾜｰﾄﾞが入力されていません。\r入力してから[次へ]をｸﾘｯｸしてください。\r");
  Type(F().page3->EditPass, "pass!word");
  Next();
  EXPECT_EQ(Summary()[4], " 個人番号連動設定  : 連動情報に個人番号を含める");
  Next();
  ExpectOneBox(MessageKind::kInformation, "中間ﾌｧｲﾙが作成されました。\r");
  EXPECT_EQ(F().ResultCode, 0);

  const std::string encrypted = file.string() + ".qve";
  void* data = nullptr;
  int32_t length = 0;
  ASSERT_EQ(QvCryptDecryptFileToMem(encrypted.c_str(), "pass!word", &data, &length), 0);
  std::string xml(static_cast<const char*>(data), static_cast<size_t>(length));
  QvCryptFreeMem(data);
  EXPECT_TRUE(xml.starts_with("<?xml"));
  // Individual numbers went out: some employee's identification code holds digits.
  bool numbers = false;
  for (size_t at = xml.find("<SIKIBETU_CODE>"); at != std::string::npos;
       at = xml.find("<SIKIBETU_CODE>", at + 1))
    numbers = numbers || std::isdigit(static_cast<unsigned char>(xml[at + 15]));
  EXPECT_TRUE(numbers);

  px::Table log(env_->DataSetFolder(1) / "tMNLog.DB");
  ASSERT_EQ(log.RecordCount(), 1u);
  auto row = log.At(0).GetAll();
  EXPECT_EQ(std::get<std::string>(row[log.FieldIndex("ProcessName")]), SJ("ゾルテ"));
  EXPECT_EQ(std::get<std::string>(row[log.FieldIndex("ProcessSub")]),
            SJ("個人番号が外部に出力されました。"));
}

TEST_F(Wizard, EmployeeProblemsShowTheErrorList) {
  ASSERT_TRUE(Start());
  Next();
  SelectDataSet(3);
  Next();
  Next();
  F().page3->Edit4a->setText(QString::fromStdString((env_->OutFolder() / "c.xml").string()));
  Next();
  AnswerErrorWindowWhenShown();
  Next();
  ExpectOneBox(MessageKind::kInformation, "社員情報に問題が見つかりました。\r\r");
  EXPECT_TRUE(error_window_was_modal_);
  EXPECT_FALSE(error_window_text_.isEmpty());
  EXPECT_FALSE(form2_->isVisible());
  EXPECT_EQ(form2_->windowTitle(), "エラー情報");
  EXPECT_EQ(F().ResultCode, 1);
  EXPECT_FALSE(std::filesystem::exists(env_->OutFolder() / "c.xml"));
}

TEST_F(Wizard, NoEmployeeEndsWithOne) {
  ASSERT_TRUE(Start());
  Next();
  SelectDataSet(4);
  Next();
  Next();
  F().page3->Edit4a->setText(QString::fromStdString((env_->OutFolder() / "d.xml").string()));
  Next();
  Next();
  ExpectOneBox(MessageKind::kInformation, "社員が登録されていません。\r\r");
  EXPECT_EQ(F().ResultCode, 1);
}

// What fails at Finish still ends the wizard with 2, the cause on a line of its own where no
// message of the export said it: a launcher's key that is empty or no Base64 decodes to nothing.
TEST_F(Wizard, OutputFailureEndsWithTwoAndItsCause) {
  const auto file = env_->OutFolder() / "k.xml.qve";
  for (const char* key : {"", "!!!!"}) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(Start({"0,0,0," + file.string() + "," + key}));
    Next();
    SelectDataSet(2);
    Next();
    Next();
    Next();
    ExpectOneBox(MessageKind::kError,
                 "中間ﾌｧｲﾙの作成に失敗しました。\r" + QString::fromStdString(file.string()) +
                     ": キーが空です (Base64 の復号結果が空か、0 のバイトだけです) (1)\r");
    EXPECT_EQ(F().ResultCode, 2);
  }

  // The folder checked on Next has gone by Finish: the export's own warning, then the failure.
  ASSERT_TRUE(Start());
  Next();
  SelectDataSet(2);
  Next();
  Next();
  const auto gone = env_->OutFolder() / "gone";
  std::filesystem::create_directory(gone);
  F().page3->Edit4a->setText(QString::fromStdString((gone / "e.xml").string()));
  Next();
  ASSERT_EQ(Page(), "page4");
  std::filesystem::remove(gone);
  Next();
  auto shown = TakeBoxes();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, "指定されたﾌｫﾙﾀﾞが見つかりません。\r" +
                               QString::fromStdString(gone.string()) +
                               "\rﾌｫﾙﾀﾞを確認してから[次へ]をｸﾘｯｸしてください。\r");
  EXPECT_EQ(shown[1].kind, MessageKind::kError);
  EXPECT_EQ(shown[1].text, "中間ﾌｧｲﾙの作成に失敗しました。\r");
  EXPECT_EQ(F().ResultCode, 2);
}

TEST_F(Wizard, ArgumentWithWindowZeroStillBuildsTheSummary) {
  const auto file = env_->OutFolder() / "zero.xml.qve";
  ASSERT_TRUE(Start({"0,0,0," + file.string() + ",c2VjcmV0LWtleQ=="}));
  EXPECT_EQ(F().Wizard1->PageCount(), 4);
  Next();
  SelectDataSet(2);
  Next();
  Next();
  EXPECT_EQ(Page(), "page4");
  ASSERT_EQ(Summary().size(), 5);
  EXPECT_EQ(Summary()[1], " 会社名            : 有限会社ゾルテ工業");
  Next();
  // Started alone as far as the messages go; the argument's file and key are the output.
  ExpectOneBox(MessageKind::kInformation, "中間ﾌｧｲﾙが作成されました。\r");
  void* data = nullptr;
  int32_t length = 0;
  ASSERT_EQ(
      QvCryptDecryptFileToMemByKey(FromNativePath(file).c_str(), "secret-key", &data, &length), 0);
  QvCryptFreeMem(data);
}

}  // namespace
}  // namespace nc16::test

namespace nc16::test {
namespace {

TEST_F(Wizard, UnsavableChoicesAreReportedOnce) {
  // A folder where the settings file should be: reading gives nothing, writing fails.
  std::filesystem::create_directories(env_->CommonDataDir() / "DataSelect.ini");
  ASSERT_TRUE(Start());
  EXPECT_EQ(F().page2->SelectedRow(), 1);
  int closed = 0;
  QObject::connect(&F(), &TForm1::Closed, [&] { ++closed; });
  F().close();
  EXPECT_EQ(closed, 1);
  ExpectNoBox();
  Destroy();
  auto shown = TakeBoxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, MessageKind::kError);
  EXPECT_TRUE(shown[0].text.contains("DataSelect.ini")) << shown[0].text.toStdString();
}

TEST_F(Wizard, CopiesFromWindowsExportTheSameDocument) {
  // Data set 1 without individual numbers, through every page; the document as written.
  auto export_main = [&](const char* name) {
    EXPECT_TRUE(Start());
    Next();
    SelectDataSet(1);
    Next();
    Next();
    const auto file = env_->OutFolder() / name;
    F().page3->Edit4a->setText(QString::fromStdString(file.string()));
    Next();
    EXPECT_EQ(Summary()[3], " ﾃﾞｰﾀﾌｫﾙﾀﾞﾊﾟｽ      : " + NativeSeparators("~/DB/DAT001"));
    Next();
    ExpectOneBox(MessageKind::kInformation, "中間ﾌｧｲﾙが作成されました。\r");
    Destroy();
    return ReadFile(file);
  };
  const std::string ordinary = export_main("a.xml");
  ASSERT_FALSE(ordinary.empty());

  // The data set's files and the product's Initdat\Version.ini renamed to upper case by hand.
  auto to_upper = [](const std::filesystem::path& p) {
    std::string name = p.filename().string();
    for (char& c : name)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::filesystem::rename(p, p.parent_path() / name);
  };
  for (const auto& e : std::filesystem::directory_iterator(env_->DataSetFolder(1)))
    to_upper(e.path());
  const auto initdat = NativePath(env_->Installation().data_root) / "Initdat";
  to_upper(initdat / "Version.ini");
  to_upper(initdat);
  EXPECT_EQ(export_main("u.xml"), ordinary);

  env_.reset();
  env_ = std::make_unique<DemoEnvironment>(true);
  // The remembered choice as the product left it on Windows: its row is selected at start.
  const auto ini = env_->CommonDataDir() / "DATASELECT.INI";
  nc16::testing::WriteFile(ini, "[NENCHO]\r\nDATA=" + FromQ(env_->DataSetKey(2)) +
                                    "\r\nKOMONSAKI=" + SJ("有限会社ゾルテ工業") + "\r\n");
  ASSERT_TRUE(Start());
  EXPECT_EQ(F().page2->Cell(3, F().page2->SelectedRow()), env_->DataSetKey(2));
  EXPECT_EQ(F().page2->Cell(2, F().page2->SelectedRow()), NativeSeparators("~/DB/DAT002"));
  Destroy();
  EXPECT_EQ(export_main("b.xml"), ordinary);
  // The choice went back into the file it came from, with the Holder as the list holds it.
  EXPECT_EQ(nc16::testing::FolderEntries(env_->CommonDataDir()),
            (std::vector<std::string>{"DATASELECT.INI", "DB", "MGENGO.DB", "MGENGO.PX"}));
  EXPECT_EQ(platform::ReadProfileString(FromNativePath(ini), "NENCHO", "DATA", ""),
            FromQ(env_->DataSetKey(1)));
}

}  // namespace
}  // namespace nc16::test
