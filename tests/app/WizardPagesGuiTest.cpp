// The wizard's pages one by one: the data-set grid (sorting, selection, Enter, the checks of a
// chosen data set), the My Number page, and the file page's extension rules, browse dialog,
// filters and keys.

#include <QClipboard>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <fstream>

#include "app/QtText.h"
#include "external/db/Db.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/app/WizardFixture.h"

namespace nc16::test {
namespace {

using Pages = WizardFixture;

QString Title(const TForm1& f, int col) {
  return f.page2->StringGrid1->horizontalHeaderItem(col)->text();
}

// A click on the grid's title row at X (from the grid's left edge).
void ClickTitle(TForm1& f, int x, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QHeaderView* header = f.page2->StringGrid1->horizontalHeader();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, mods, QPoint(x - header->offset(), 10));
}

TEST_F(Pages, GridLayoutAndFirstSelection) {
  ASSERT_TRUE(Start());
  QTableWidget* grid = F().page2->StringGrid1;
  EXPECT_EQ(grid->columnCount(), 4);
  EXPECT_EQ(grid->columnWidth(0), 245);
  EXPECT_EQ(grid->columnWidth(1), 125);
  EXPECT_EQ(grid->columnWidth(2), 230);
  EXPECT_TRUE(grid->isColumnHidden(3));
  EXPECT_EQ(grid->rowHeight(0), 20);
  EXPECT_EQ(Title(F(), 0), "ﾃﾞｰﾀ名");
  EXPECT_EQ(Title(F(), 1), "給与年月／賞与回");
  EXPECT_EQ(Title(F(), 2), "ﾃﾞｰﾀﾌｫﾙﾀﾞﾊﾟｽ ▲");
  EXPECT_EQ(F().page2->RowCount(), 201);
  EXPECT_EQ(F().page2->SelectedRow(), 1);  // nothing remembered
  EXPECT_EQ(F().page2->Cell(2, 1), NativeSeparators("~/DB/DAT001"));
  EXPECT_EQ(F().page2->Cell(1, 1), "令和  6年 12月／ 2回");
  EXPECT_EQ(F().page2->Cell(0, 6), "未使用");
  EXPECT_EQ(F().page2->Label2b->text(),
            "対象のﾃﾞｰﾀが正しく指定されているか確認し、[次へ]をｸﾘｯｸしてください。");
  ExpectNoBox();
}

TEST_F(Pages, TitleClicksSortAndKeepTheSelection) {
  ASSERT_TRUE(Start());
  Next();
  SelectDataSet(3);
  const QString selected = F().page2->Cell(2, F().page2->SelectedRow());

  ClickTitle(F(), 100);  // data name: first click descends
  EXPECT_EQ(Title(F(), 0), "ﾃﾞｰﾀ名 ▼");
  EXPECT_EQ(Title(F(), 2), "ﾃﾞｰﾀﾌｫﾙﾀﾞﾊﾟｽ");
  EXPECT_EQ(F().page2->Cell(0, 1), "未使用");
  EXPECT_EQ(F().page2->Cell(2, F().page2->SelectedRow()), selected);

  ClickTitle(F(), 100);
  EXPECT_EQ(Title(F(), 0), "ﾃﾞｰﾀ名 ▲");
  EXPECT_NE(F().page2->Cell(0, 1), "未使用");
  EXPECT_EQ(F().page2->Cell(0, 200), "未使用");
  EXPECT_EQ(F().page2->Cell(2, F().page2->SelectedRow()), selected);

  ClickTitle(F(), 300);  // the period: not sortable
  EXPECT_EQ(Title(F(), 0), "ﾃﾞｰﾀ名 ▲");
  EXPECT_EQ(Title(F(), 1), "給与年月／賞与回");

  ClickTitle(F(), 500);  // folder: first click on the bare title descends
  EXPECT_EQ(Title(F(), 2), "ﾃﾞｰﾀﾌｫﾙﾀﾞﾊﾟｽ ▼");
  EXPECT_EQ(Title(F(), 0), "ﾃﾞｰﾀ名");
  EXPECT_EQ(F().page2->Cell(2, 1), NativeSeparators("~/DB/DAT200"));
  EXPECT_EQ(F().page2->Cell(2, F().page2->SelectedRow()), selected);
  ClickTitle(F(), 500);
  EXPECT_EQ(Title(F(), 2), "ﾃﾞｰﾀﾌｫﾙﾀﾞﾊﾟｽ ▲");
  EXPECT_EQ(F().page2->Cell(2, 1), NativeSeparators("~/DB/DAT001"));

  ClickTitle(F(), 100, Qt::ShiftModifier);  // only a plain left click sorts
  EXPECT_EQ(Title(F(), 0), "ﾃﾞｰﾀ名");
  ExpectNoBox();

  // The selection still names the data set that Next checks.
  Next();
  EXPECT_EQ(Page(), "page5");
  EXPECT_EQ(F().ExportInfo->DataKey, FromQ(env_->DataSetKey(3)));
}

TEST_F(Pages, ARowStaysSelected) {
  ASSERT_TRUE(Start());
  Next();
  SelectDataSet(2);
  QTableWidget* grid = F().page2->StringGrid1;
  const QRect cell = grid->visualRect(grid->model()->index(1, 0));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
  EXPECT_EQ(F().page2->SelectedRow(), 2);
  // A sort that loses the selected folder keeps the row number.
  F().page2->SelectRow(7);
  F().page2->LoadDataList("Holder", "DESC");
  EXPECT_EQ(F().page2->SelectedRow(), 7);
}

TEST_F(Pages, EnterInTheGridGoesToNext) {
  ASSERT_TRUE(Start());
  Next();
  F().page2->StringGrid1->setFocus();
  QTest::keyClick(F().page2->StringGrid1, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), F().Button2);
  EXPECT_EQ(Page(), "page2");
}

TEST_F(Pages, RememberedDataSetIsSelectedOrRowOne) {
  const std::string ini = FromNativePath(env_->CommonDataDir() / "DataSelect.ini");
  platform::WriteProfileString(ini, "NENCHO", "DATA", FromQ(env_->DataSetKey(4)));
  platform::WriteProfileString(ini, "NENCHO", "KOMONSAKI", SJ("社員未登録の会社"));
  ASSERT_TRUE(Start());
  EXPECT_EQ(F().page2->Cell(3, F().page2->SelectedRow()), env_->DataSetKey(4));
  Destroy();

  platform::WriteProfileString(ini, "NENCHO", "KOMONSAKI", SJ("別の会社"));
  ASSERT_TRUE(Start());
  EXPECT_EQ(F().page2->SelectedRow(), 1);
}

TEST_F(Pages, DataSetChecksAndTheirMessages) {
  ASSERT_TRUE(Start());
  Next();
  SelectDataSet(5);  // data of a version before the export existed
  Next();
  ExpectOneBox(MessageKind::kWarning,
               "このﾃﾞｰﾀは連動できません。\r最新版のミルベク給与でコンバート後、もう一度、"
               "選び直してください。\r");
  EXPECT_EQ(Page(), "page2");
  EXPECT_EQ(F().Button2->text(), "次へ(&N) >");

  F().page2->SelectRow(6);  // an unused row: no company table in its folder
  Next();
  ExpectOneBox(MessageKind::kWarning,
               "このﾃﾞｰﾀﾌｫﾙﾀﾞには給与ﾃﾞｰﾀがありません。\rもう一度、選び直してください。\r");
  EXPECT_EQ(Page(), "page2");

  // A company table that is not a table: the engine's message in a database error box.
  std::ofstream(env_->DataSetFolder(2) / "mKaisya.db", std::ios::trunc) << "garbage";
  SelectDataSet(2);
  Next();
  auto shown = TakeBoxes();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, MessageKind::kError);
  EXPECT_TRUE(shown[0].text.startsWith("ﾃﾞｰﾀﾍﾞｰｽ ｴﾗｰ\r")) << shown[0].text.toStdString();
  EXPECT_TRUE(shown[0].text.endsWith("\r\r"));
  EXPECT_EQ(Page(), "page2");
}

TEST_F(Pages, EveryCheckStartsFromNoMyNumber) {
  ASSERT_TRUE(Start());
  Next();
  SelectDataSet(1);
  Next();
  EXPECT_TRUE(F().MyNumberInUse);
  EXPECT_EQ(F().MyNumberPassword, demo::kDemoMyNumberPassword);
  ChooseMyNumber(1);
  Type(F().page5->edMNum, "abc");
  Back();
  SelectDataSet(2);
  Next();
  // The other company's settings do not carry over, and the page is reset.
  EXPECT_FALSE(F().MyNumberInUse);
  EXPECT_EQ(F().MyNumberPassword, "");
  EXPECT_FALSE(F().page5->grpMnNum->isEnabled());
  EXPECT_EQ(F().page5->grpMnNum->ItemIndex(), 0);
  EXPECT_EQ(F().page5->edMNum->text(), "");
  EXPECT_TRUE(F().page5->edMNum->isHidden());
}

TEST_F(Pages, MissingListIsCreated) {
  std::filesystem::remove(env_->CommonDataDir() / "db" / "mDataList.db");
  ASSERT_TRUE(Start());
  ExpectNoBox();
  ASSERT_EQ(F().page2->RowCount(), 201);
  EXPECT_EQ(F().page2->Cell(0, 1), "未使用");
  EXPECT_EQ(F().page2->Cell(1, 1), "");
  EXPECT_EQ(F().page2->Cell(2, 1), NativeSeparators("~/DB/DAT001"));
  EXPECT_EQ(F().page2->Cell(2, 200), NativeSeparators("~/DB/DAT200"));
  EXPECT_EQ(F().page2->SelectedRow(), 1);
}

TEST_F(Pages, ListWithoutRowsRefusesNext) {
  // A list whose every row lacks a folder: nothing is listed.
  const auto list = env_->CommonDataDir() / "db" / "mDataList.db";
  std::filesystem::remove(list);
  {
    db::TTable t;
    t.SetDatabaseName((env_->CommonDataDir() / "db").string());
    t.SetTableName("mDataList.db");
    t.FieldDefs() = {{"SearchKey", db::TFieldType::ftInteger, 0, false},
                     {"Content", db::TFieldType::ftString, 40, false},
                     {"OPcode", db::TFieldType::ftString, 4, false},
                     {"SyoriNen", db::TFieldType::ftInteger, 0, false},
                     {"SyoriTuki", db::TFieldType::ftInteger, 0, false},
                     {"SyoriKai", db::TFieldType::ftInteger, 0, false},
                     {"Holder", db::TFieldType::ftString, 255, false},
                     {"NendoNo", db::TFieldType::ftString, 3, false}};
    t.IndexDefs() = {{"PrimaryIndex", "SearchKey", db::ixPrimary | db::ixUnique}};
    t.CreateTable();
  }
  ASSERT_TRUE(Start());
  EXPECT_EQ(F().page2->RowCount(), 1);
  Next();
  Next();
  ExpectOneBox(MessageKind::kWarning, "選択できるﾃﾞｰﾀがありません。\r");
  EXPECT_EQ(Page(), "page2");
}

// Page 3's file name after page 5, for a remembered name and a My Number choice.
class FilePage : public WizardFixture {
 protected:
  void ToPage5() {
    ASSERT_TRUE(Start());
    Next();
    SelectDataSet(1);
    Next();
    ASSERT_EQ(Page(), "page5");
  }
  QString Prepared(const std::string& remembered, int item) {
    F().ExportInfo->OutputFile = remembered;
    ChooseMyNumber(item);
    if (item == 1) {
      F().page5->edMNum->setText(demo::kDemoMyNumberPassword);
    }
    Next();
    EXPECT_EQ(Page(), "page3");
    QString shown = F().page3->Edit4a->text();
    Back();
    return shown;
  }
};

TEST_F(FilePage, ExtensionFollowsTheMyNumberChoice) {
  ToPage5();
  EXPECT_EQ(Prepared("D:\\data\\out.xml", 1), "D:\\data\\out.xml.qve");
  EXPECT_FALSE(F().page3->EditPass->isHidden());
  EXPECT_EQ(F().page3->Label4b->text(),
            "中間ﾌｧｲﾙ名、暗号化ﾊﾟｽﾜｰﾄﾞが正しく指定されているか確認し、[次へ]をｸﾘｯｸしてください。");
  EXPECT_EQ(Prepared("D:\\data\\out.xml.qve", 0), "D:\\data\\out.xml");
  EXPECT_TRUE(F().page3->EditPass->isHidden());
  EXPECT_TRUE(F().page3->Label1->isHidden());
  // Every case of the rule: PageChecks.TheOfferedNameTakesTheExtensionOfItsForm.
  ExpectNoBox();
}

TEST_F(FilePage, PasswordOnlyWithMyNumberAndNotInTheSystemRoot) {
  ToPage5();
  Next();  // first item: the empty password passes
  // The system's drive: "/" on POSIX, the Windows folder's drive ("C:") on Windows.
  const QString drive = QString::fromStdString(F().SystemDrive);
  F().page3->Edit4a->setText(drive == "/" ? "/out.xml" : drive + "\\out.xml");
  Next();
  ExpectOneBox(MessageKind::kWarning,
               "ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(" + drive +
                   ")直下にﾌｧｲﾙは指定できません。\r"
                   "別のﾄﾞﾗｲﾌﾞまたはﾌｫﾙﾀﾞを指定してから[次へ]をｸﾘｯｸしてください。\r");
  F().page3->Edit4a->setText(QString::fromStdString((env_->OutFolder() / "out.xml").string()));
  Next();
  ExpectNoBox();
  EXPECT_EQ(Page(), "page4");
}

TEST_F(FilePage, TableFileNamesAreRefused) {
  ToPage5();
  Next();
  for (const char* name : {"/tmp/data/tMNLog.DB", "/tmp/data/msyain.px", "out.X02"}) {
    F().page3->Edit4a->setText(name);
    Next();
    ExpectOneBox(
        MessageKind::kWarning,
        "給与ﾃﾞｰﾀのﾃｰﾌﾞﾙと同じ種類のﾌｧｲﾙ名(.DB .PX .MB .Xnn .Ynn)は中間ﾌｧｲﾙに指定できません。\r"
        "別のﾌｧｲﾙ名を指定してから[次へ]をｸﾘｯｸしてください。\r");
    EXPECT_EQ(Page(), "page3");
  }
}

// What only Finish would find, after which the wizard ends and everything typed is lost, is
// refused on Next; the focus goes back to the file box.
TEST_F(FilePage, ThePlaceOfTheFileIsRefusedOnNext) {
  ToPage5();
  Next();  // without individual numbers
  const QString out = QString::fromStdString(env_->OutFolder().string());
  std::filesystem::create_directory(env_->OutFolder() / "folder.xml");
  const QString file_missing =
      "中間ﾌｧｲﾙが指定されていません。\r指定してから[次へ]をｸﾘｯｸしてください。\r";
  struct Case {
    QString typed;
    QString warning;
  };
  const Case cases[] = {
      {out + "/missing/a.xml", "指定されたﾌｫﾙﾀﾞが見つかりません。\r" + out +
                                   "/missing\rﾌｫﾙﾀﾞを確認してから[次へ]をｸﾘｯｸしてください。\r"},
      {out + "/folder.xml", "指定された中間ﾌｧｲﾙ名はﾌｫﾙﾀﾞです。\r" + out +
                                "/folder.xml\rﾌｧｲﾙ名を指定してから[次へ]をｸﾘｯｸしてください。\r"},
      {"   ", file_missing},
      {out + "/ 　", file_missing},
      // Characters that CP932 cannot hold were written as "?".
      {out + "/データ한😀.xml",
       "中間ﾌｧｲﾙ名に使用できない文字が含まれています。\r別のﾌｧｲﾙ名を指定してから[次へ]"
       "をｸﾘｯｸしてください。\r"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString());
    F().Button2->setFocus();
    F().page3->Edit4a->setText(NativeSeparators(c.typed));
    Next();
    ExpectOneBox(MessageKind::kWarning, NativeSeparators(c.warning));
    EXPECT_EQ(Page(), "page3");
    EXPECT_EQ(QApplication::focusWidget(), F().page3->Edit4a);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(env_->OutFolder()), {}), 1);

  // An existing file typed by name is replaced only after Yes; No, the default, stays.
  nc16::testing::WriteFile(env_->OutFolder() / "old.xml", "old");
  const QString old = NativeSeparators(out + "/old.xml");
  const QString question =
      "指定された中間ﾌｧｲﾙは既に存在します。\r" + old + "\r上書きしてもよろしいですか？\r";
  F().page3->Edit4a->setText(old);
  Next();
  auto asked = TakeBoxes();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].kind, MessageKind::kWarning);
  EXPECT_EQ(asked[0].text, question);
  EXPECT_EQ(asked[0].buttons, MessageButtons::kYesNoDefaultNo);
  EXPECT_EQ(Page(), "page3");
  WizardBoxes::SetNextAnswer(MessageAnswer::kYes);
  Next();
  ExpectOneBox(MessageKind::kWarning, question);
  EXPECT_EQ(Page(), "page4");

  // Chosen in the browse dialog, which asked already: no second question.
  Back();
  Page3File::SaveDialogAnswer = [&](const SaveDialogRequest&) { return std::optional(old); };
  QTest::mouseClick(F().page3->BitBtn4a, Qt::LeftButton);
  Next();
  ExpectNoBox();
  EXPECT_EQ(Page(), "page4");
}

// The file's name is seen on the page where the user confirms it, whatever the folder's length:
// long lines wrap at the memo's edge, and a summary taller than the memo scrolls.
TEST_F(FilePage, TheSummaryShowsLongPathsWhole) {
  ToPage5();
  Next();
  struct Case {
    int depth;  // folders of 40 characters each
    bool scrolls;
  };
  for (const Case& c : {Case{4, false}, Case{80, true}}) {
    std::filesystem::path deep = env_->OutFolder();
    for (int i = 0; i < c.depth; ++i)
      deep /= std::string(40, static_cast<char>('a' + i % 26));
    std::filesystem::create_directories(deep);
    const QString file = QString::fromStdString((deep / "nenchou.xml").string());
    F().page3->Edit4a->setText(file);
    Next();
    ASSERT_EQ(Page(), "page4");
    EXPECT_EQ(Summary().last(), " " + file);
    QPlainTextEdit* memo = F().page4->Memo5b;
    memo->grab();  // lays the text out as drawing it does
    const QTextBlock last = memo->document()->lastBlock();
    EXPECT_GT(last.layout()->lineCount(), 1);
    for (int i = 0; i < last.layout()->lineCount(); ++i)
      EXPECT_LE(last.layout()->lineAt(i).naturalTextWidth(), memo->viewport()->width());
    QApplication::processEvents();  // the scroll bar follows the layout in the event loop
    EXPECT_EQ(memo->verticalScrollBar()->isVisible(), c.scrolls);
    EXPECT_EQ(memo->verticalScrollBar()->maximum() > 0, c.scrolls);
    Back();
  }
}

TEST_F(FilePage, BareNameIsShownInTheDocumentsFolder) {
  std::filesystem::create_directories(env_->Root() / "home" / "Documents");
  ToPage5();
  Next();
  F().page3->Edit4a->setText("out.xml");
  Next();
  EXPECT_EQ(
      Summary().last(),
      " " + QString::fromStdString((env_->Root() / "home" / "Documents" / "out.xml").string()));
}

TEST_F(FilePage, BrowseAsksTheDialogAndAdjustsTheAnswer) {
  ToPage5();
  // Absolute paths of the system: "/data/old.xml", on Windows "D:\\data\\old.xml".
  auto path = [](const char* posix) {
#ifdef _WIN32
    return "D:" + NativeSeparators(posix);
#else
    return QString::fromUtf8(posix);
#endif
  };
  std::vector<SaveDialogRequest> asked;
  std::optional<QString> answer = path("/x/report");
  Page3File::SaveDialogAnswer = [&](const SaveDialogRequest& r) {
    asked.push_back(r);
    return answer;
  };
  F().ExportInfo->OutputFile = FromQ(path("/data/old.xml"));
  ChooseMyNumber(1);
  F().page5->edMNum->setText(demo::kDemoMyNumberPassword);
  Next();
  QTest::mouseClick(F().page3->BitBtn4a, Qt::LeftButton);
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].title, "中間ﾌｧｲﾙの指定");
  EXPECT_EQ(asked[0].folder, path("/data"));
  EXPECT_EQ(asked[0].fileName, path("/data/old.xml.qve"));
  EXPECT_EQ(asked[0].defaultSuffix, "");
  EXPECT_TRUE(asked[0].filters[0].startsWith("中間ﾌｧｲﾙ (*.xml.qve)"));
  EXPECT_TRUE(asked[0].filters[1].startsWith("すべてのﾌｧｲﾙ(*.*)"));
  EXPECT_EQ(F().page3->Edit4a->text(), path("/x/report.XML.QVE"));

  answer = path("/x/keep.xml.QVE");
  QTest::mouseClick(F().page3->BitBtn4a, Qt::LeftButton);
  EXPECT_EQ(F().page3->Edit4a->text(), path("/x/keep.xml.QVE"));

  answer = std::nullopt;  // cancelled: nothing changes
  QTest::mouseClick(F().page3->BitBtn4a, Qt::LeftButton);
  EXPECT_EQ(F().page3->Edit4a->text(), path("/x/keep.xml.QVE"));

  Back();
  ChooseMyNumber(0);
  Next();
  answer = path("/x/plain");
  QTest::mouseClick(F().page3->BitBtn4a, Qt::LeftButton);
  EXPECT_EQ(asked.back().defaultSuffix, "xml");
  EXPECT_TRUE(asked.back().filters[0].startsWith("中間ﾌｧｲﾙ (*.xml)"));
  EXPECT_EQ(F().page3->Edit4a->text(), path("/x/plain"));  // the dialog adds the default extension
}

TEST_F(FilePage, RealDialogAddsTheDefaultExtension) {
  ToPage5();
  Next();
  const QString folder = QString::fromStdString(env_->OutFolder().string());
  F().page3->Edit4a->setText(NativeSeparators(folder + "/old.xml"));
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "中間ﾌｧｲﾙの指定");
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name, nullptr);
    name->setText("report");
    static_cast<QDialog*>(dialog)->accept();
  });
  QTest::mouseClick(F().page3->BitBtn4a, Qt::LeftButton);
  EXPECT_EQ(F().page3->Edit4a->text(), NativeSeparators(folder + "/report.xml"));
}

TEST_F(FilePage, PasswordBoxesTakeOnlyTheirCharacters) {
  ToPage5();
  ChooseMyNumber(1);
  TxEdit* mnum = F().page5->edMNum;
  Type(mnum, "ab-C 9_");
  EXPECT_EQ(mnum->text(), "abC9");
  EXPECT_EQ(mnum->maxLength(), 16);
  EXPECT_EQ(mnum->echoMode(), QLineEdit::Password);
  mnum->clear();
  QApplication::clipboard()->setText("x-y z1");
  mnum->paste();
  EXPECT_EQ(mnum->text(), "xyz1");

  mnum->setText(demo::kDemoMyNumberPassword);
  Next();
  TxEdit* pass = F().page3->EditPass;
  Type(pass, "a b\"c'd!#$%&()~-");
  // A Japanese character arrives as text without an ASCII key.
  QKeyEvent kana(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("あ"));
  QApplication::sendEvent(pass, &kana);
  EXPECT_EQ(pass->text(), "abcd!#$%&()~-");
  EXPECT_EQ(pass->maxLength(), 20);
  pass->clear();
  pass->insert("p w\"日本'q");
  EXPECT_EQ(pass->text(), "pwq");
  EXPECT_FALSE(pass->testAttribute(Qt::WA_InputMethodEnabled));
}

// Enter in the boxes presses Next, the form's default button, as on Windows, where the form
// takes Enter before a box sees it; a warning gives the focus back to the box it is about.
TEST_F(FilePage, EnterKeys) {
  ToPage5();
  ChooseMyNumber(1);
  TxEdit* mnum = F().page5->edMNum;
  mnum->setFocus();
  mnum->setText("wrong");
  QTest::keyClick(mnum, Qt::Key_Return);
  ExpectOneBox(MessageKind::kWarning, "ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが違います。\r");
  EXPECT_EQ(QApplication::focusWidget(), mnum);
  mnum->setText(demo::kDemoMyNumberPassword);
  QTest::keyClick(mnum, Qt::Key_Return);
  ASSERT_EQ(Page(), "page3");
  QLineEdit* file = F().page3->Edit4a;
  EXPECT_EQ(QApplication::focusWidget(), file);  // the page's first control
  file->setText(QString::fromStdString((env_->OutFolder() / "enter.xml.qve").string()));
  QTest::keyClick(file, Qt::Key_Return);
  ExpectOneBox(MessageKind::kWarning,
               "暗号化ﾊﾟｽﾜｰﾄﾞが入力されていません。\r入力してから[次へ]をｸﾘｯｸしてください。\r");
  EXPECT_EQ(QApplication::focusWidget(), F().page3->EditPass);
  // Tabbing into the password box selects what it holds.
  F().page3->EditPass->setText("secret");
  file->setFocus();
  F().page3->EditPass->deselect();
  F().page3->EditPass->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(F().page3->EditPass->selectedText(), "secret");
}

}  // namespace
}  // namespace nc16::test
