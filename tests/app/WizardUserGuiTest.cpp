// The wizard as a Japanese office user meets it: Qt's own texts in Japanese, start-up stops
// that change nothing, "*" in the password boxes, the remembered data set on top of the grid,
// the keyboard path through every page, message boxes as wide as their longest line, a
// launcher's file that is never remembered, and the command line as the user typed it.

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProxyStyle>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleFactory>
#include <QTreeView>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/CommandLine.h"
#include "app/QtText.h"
#include "app/QtTranslation.h"
#include "app/SaveDialog.h"
#include "app/WizardFonts.h"
#include "app/WizardLook.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/app/WizardFixture.h"

namespace nc16::test {
namespace {

using User = WizardFixture;

std::optional<std::string> FileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The keys a user presses go to whichever control has the focus.
void Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* focused = QApplication::focusWidget();
  ASSERT_NE(focused, nullptr) << "no control has the focus";
  QTest::keyClick(focused, static_cast<Qt::Key>(key), mods);
}

TEST_F(User, QtTextsAreJapanese) {
  const QString file = QtJapaneseTranslationFile();
  ASSERT_TRUE(QFile::exists(file))
      << file.toStdString()
      << " is missing: Qt's Japanese translation comes with the Debian package "
         "qt6-translations-l10n, which scripts/setup installs";
  ASSERT_TRUE(InstallQtJapanese());
  ASSERT_TRUE(Start());
  Next();
  Next();
  Next();
  ASSERT_EQ(Page(), "page3");

  std::unique_ptr<QMenu> menu(F().page3->Edit4a->createStandardContextMenu());
  QStringList items;
  for (QAction* action : menu->actions())
    if (!action->isSeparator()) items << action->text().section('\t', 0, 0);
  EXPECT_EQ(items, QStringList({"元に戻す(&U)", "やり直す(&R)", "切り取り(&T)", "コピー(&C)",
                                "貼り付け(&P)", "削除", "すべてを選択"}));

  QStringList buttons, labels;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    for (QAbstractButton* b : dialog->findChild<QDialogButtonBox*>()->buttons())
      buttons << b->text();
    for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
      labels << dialog->findChild<QLabel*>(name)->text();
    dialog->reject();
  });
  QTest::mouseClick(F().page3->BitBtn4a, Qt::LeftButton);
  EXPECT_EQ(buttons, QStringList({"保存(&S)", "キャンセル"}));
  EXPECT_EQ(labels, QStringList({"アドレス:", "ファイル名(&N):", "ファイルの種類:"}));
}

// The browse dialog's list in Japanese whatever the locale (under C.UTF-8 Qt writes "Folder",
// "0 bytes" and English dates), its size, type and date columns as wide as what they show.
TEST_F(User, BrowseDialogListIsJapanese) {
  App();
  const auto folder = env_->OutFolder();
  std::filesystem::create_directory(folder / "sub");
  nc16::testing::WriteFile(folder / "empty.xml", "");
  SaveDialogRequest request;
  request.title = "t";
  request.folder = QString::fromStdString(folder.string());
  request.filters = {"中間ﾌｧｲﾙ (*.xml) (*.XML *.xml)"};
  request.fileName = "a.xml";
  std::unique_ptr<QFileDialog> dialog = MakeSaveDialog(nullptr, request);
  dialog->show();
  auto* view = dialog->findChild<QTreeView*>("treeView");
  ASSERT_NE(view, nullptr);
  auto cell = [&](const QString& name, int column) {
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
      if (model->index(row, 0, view->rootIndex()).data().toString() == name)
        return model->index(row, column, view->rootIndex()).data().toString();
    }
    return QString();
  };
  QTRY_COMPARE(cell("sub", 2), QString("ファイル フォルダー"));
  QTRY_COMPARE(cell("empty.xml", 1), QString("0 バイト"));
  EXPECT_TRUE(QRegularExpression("^\\d{4}/\\d{2}/\\d{2} \\d{1,2}:\\d{2}$")
                  .match(cell("empty.xml", 3))
                  .hasMatch())
      << cell("empty.xml", 3).toStdString();
  const QAbstractItemView* columns = view;  // the view's size hints are public here
  for (int column = 1; column <= 3; ++column)
    QTRY_VERIFY(view->header()->sectionSize(column) >= columns->sizeHintForColumn(column));
}

TEST_F(User, StartUpStopsSaveNothingAndShowOneBox) {
  const auto ini = env_->CommonDataDir() / "DataSelect.ini";
  const auto version_ini = NativePath(env_->Installation().data_root) / "Initdat" / "Version.ini";
  const std::string remembered = "[NENCHO]\r\nDATA=somewhere\r\nEXPORTFILE=/kept/a.xml\r\n";
  struct Stop {
    const char* what;
    std::vector<std::string> args;
    const char* version_ini;  // null: as installed
    bool installed, common_folder;
    QString message;
  };
  const QString stop = "\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。";
  const QString not_installed = "[ミルベク給与]がインストールされていません。" + stop;
  // clang-format off
  const Stop stops[] = {
      {"two arguments", {"1,2,3", "x"}, nullptr, true, true, "不正な引数が渡されました。" + stop},
      {"old version", {}, "[VERSION]\nMAJOR=6\n", true, true,
       "このﾌﾟﾛｸﾞﾗﾑはｾｯﾄｱｯﾌﾟされている[ミルベク給与]のﾊﾞｰｼﾞｮﾝに対応していません。\r"
       "[ミルベク給与] ﾊﾞｰｼﾞｮﾝ 7.0.0 以降をｾｯﾄｱｯﾌﾟしてください。" + stop},
      {"not installed", {}, nullptr, false, true, not_installed},
      {"not installed, no common data folder", {}, nullptr, false, false, not_installed},
  };
  // clang-format on
  const std::string installed_version = *FileBytes(version_ini);
  for (const Stop& s : stops) {
    for (bool ini_exists : {true, false}) {
      SCOPED_TRACE(std::string(s.what) + (ini_exists ? ", DataSelect.ini present" : ", absent"));
      std::filesystem::remove(ini);
      if (ini_exists) std::ofstream(ini, std::ios::binary) << remembered;
      std::ofstream(version_ini, std::ios::binary | std::ios::trunc)
          << (s.version_ini ? s.version_ini : installed_version.c_str());
      std::optional<nc16::testing::ScopedEnv> registry, common;
      if (!s.installed) registry.emplace("NC16_REGISTRY", (env_->Root() / "none.ini").string());
      if (!s.common_folder) common.emplace("NC16_COMMON_APPDATA", "");
      EXPECT_FALSE(Start(s.args));
      Destroy();  // as the program ends after the stop
      ExpectOneBox(MessageKind::kError, s.message);
      EXPECT_EQ(FileBytes(ini), ini_exists ? std::optional(remembered) : std::nullopt);
    }
  }
}

TEST_F(User, PasswordBoxesDrawStars) {
  ASSERT_TRUE(Start());
  Next();
  Next();
  ChooseMyNumber(1);
  // Each box is drawn as a box of the same kind that holds the stars as its text.
  auto expect_stars = [](TxEdit* box, const QString& typed) {
    TxEdit plain(box->parentWidget());
    plain.setGeometry(box->geometry());
    plain.SetKeyEdit3D(box->KeyEdit3D());
    plain.setText(QString(typed.size(), QLatin1Char('*')));
    plain.show();
    box->setText(typed);
    EXPECT_EQ(box->PasswordChar(), QLatin1Char('*'));
    EXPECT_EQ(box->grab().toImage(), plain.grab().toImage()) << box->objectName().toStdString();
  };
  expect_stars(F().page5->edMNum, demo::kDemoMyNumberPassword);
  Next();
  expect_stars(F().page3->EditPass, "pass!word");
}

TEST_F(User, RememberedDataSetIsTheTopRow) {
  ASSERT_TRUE(Start());
  const QString keys[] = {env_->DataSetKey(5), F().page2->Cell(3, 50), F().page2->Cell(3, 200)};
  Destroy();
  const std::string ini = FromNativePath(env_->CommonDataDir() / "DataSelect.ini");
  const std::string names[] = {env_->Installation().data_sets.at(4).company, SJ("未使用"),
                               SJ("未使用")};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(keys[i].toStdString());
    platform::WriteProfileString(ini, "NENCHO", "DATA", FromQ(keys[i]));
    platform::WriteProfileString(ini, "NENCHO", "KOMONSAKI", names[i]);
    ASSERT_TRUE(Start());
    Next();
    QTableWidget* grid = F().page2->StringGrid1;
    const int selected = F().page2->SelectedRow() - 1;
    EXPECT_EQ(F().page2->Cell(3, selected + 1), keys[i]);
    const QRect view = grid->viewport()->rect();
    EXPECT_TRUE(view.contains(grid->visualRect(grid->model()->index(selected, 0))));
    if (i < 2) {
      EXPECT_EQ(grid->rowAt(0), selected);
    } else {  // the last row: as far as the grid scrolls
      EXPECT_EQ(grid->verticalScrollBar()->value(), grid->verticalScrollBar()->maximum());
      EXPECT_GT(grid->rowAt(0), 180);
    }
    Destroy();
  }

  // After a title click the selection is still in view, below a whole top row.
  ASSERT_TRUE(Start());
  Next();
  QTableWidget* grid = F().page2->StringGrid1;
  F().page2->SelectRow(50);
  QHeaderView* header = grid->horizontalHeader();
  for (int x : {500, 500, 100, 100}) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, 10));
    const QModelIndex selected = grid->model()->index(F().page2->SelectedRow() - 1, 0);
    EXPECT_EQ(F().page2->Cell(3, selected.row() + 1), keys[1]);
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(selected)));
    EXPECT_EQ(grid->visualRect(grid->model()->index(grid->rowAt(0), 0)).top(), 0);
  }
}

// The keyboard as on Windows: after every move the focus is on the page's first control (Next
// where there is none), Enter presses Next or Finish from any control but the grid, which hands
// the focus to Next, Esc is Cancel, Tab runs Back, Next, Cancel, and the focused grid shows it.
TEST_F(User, KeyboardAsOnWindows) {
  ASSERT_TRUE(Start());
  const auto file = env_->OutFolder() / "keys.xml.qve";
  EXPECT_EQ(QApplication::focusWidget(), F().Button2);
  Press(Qt::Key_Escape);
  ExpectOneBox(MessageKind::kInformation,
               "[ｷｬﾝｾﾙ]ﾎﾞﾀﾝが押されました。\r連動ﾃﾞｰﾀの作成ｳｨｻﾞｰﾄﾞを終了してもよろしいですか？\r");
  // The key goes up where the focus is by then: in the grid, which does not take it for its own.
  QTest::keyPress(F().Button2, Qt::Key_Return);
  ASSERT_EQ(Page(), "page2");
  QTableWidget* grid = F().page2->StringGrid1;
  ASSERT_EQ(QApplication::focusWidget(), grid);  // row 1: the company with My Number
  QTest::keyRelease(grid, Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), grid);
  const QImage focused = grid->grab().toImage();
  std::vector<QWidget*> tabbed;
  for (int i = 0; i < 4; ++i) {
    Press(Qt::Key_Tab);
    tabbed.push_back(QApplication::focusWidget());
    if (i == 0) {
      EXPECT_NE(grid->grab().toImage(), focused);
    }
  }
  EXPECT_EQ(tabbed, std::vector<QWidget*>({F().Button1, F().Button2, F().btnCancel, grid}));
  EXPECT_EQ(grid->grab().toImage(), focused);
  Press(Qt::Key_Return);  // the grid's own: on to Next
  ASSERT_EQ(QApplication::focusWidget(), F().Button2);
  Press(Qt::Key_Return);
  ASSERT_EQ(Page(), "page5");

  ASSERT_EQ(QApplication::focusWidget(), F().page5->grpMnNum->Item(0));  // the selected item
  Press(Qt::Key_Right);                                                  // with individual numbers
  ASSERT_EQ(F().MyNumberChoice(), 1);
  Press(Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), F().page5->edMNum);
  QTest::keyClicks(F().page5->edMNum, demo::kDemoMyNumberPassword);
  Press(Qt::Key_Return);
  ASSERT_EQ(Page(), "page3");

  ASSERT_EQ(QApplication::focusWidget(), F().page3->Edit4a);
  F().page3->Edit4a->selectAll();
  QTest::keyClicks(F().page3->Edit4a, QString::fromStdString(file.string()));
  Press(Qt::Key_Return);  // no password yet: the warning, then the password box
  ExpectOneBox(MessageKind::kWarning,
               "暗号化ﾊﾟｽﾜｰﾄﾞが入力されていません。\r入力してから[次へ]をｸﾘｯｸしてください。\r");
  ASSERT_EQ(QApplication::focusWidget(), F().page3->EditPass);
  QTest::keyClicks(F().page3->EditPass, "secret");
  Press(Qt::Key_Return);
  ASSERT_EQ(Page(), "page4");
  EXPECT_EQ(QApplication::focusWidget(), F().page4->Memo5b);
  EXPECT_EQ(Summary().last(), " " + QString::fromStdString(file.string()));
  Press(Qt::Key_Return);  // Finish
  ExpectOneBox(MessageKind::kInformation, "中間ﾌｧｲﾙが作成されました。\r");
  EXPECT_TRUE(std::filesystem::exists(file));
}

// Alt+N from the file box leads to the summary with the focus in it, where Enter finishes; Enter
// on another push button clicks that one.
TEST_F(User, AltNThenEnterFinishes) {
  ASSERT_TRUE(Start());
  const auto file = env_->OutFolder() / "alt.xml";
  Next();
  SelectDataSet(2);
  Next();
  Next();
  ASSERT_EQ(Page(), "page3");
  F().page3->Edit4a->setText(QString::fromStdString(file.string()));
  Press(Qt::Key_N, Qt::AltModifier);
  QTRY_COMPARE(Page(), QString("page4"));
  ASSERT_EQ(QApplication::focusWidget(), F().page4->Memo5b);
  F().Button1->setFocus();
  Press(Qt::Key_Return);
  EXPECT_EQ(Page(), "page3");
  Press(Qt::Key_N, Qt::AltModifier);
  QTRY_COMPARE(Page(), QString("page4"));
  Press(Qt::Key_Enter, Qt::KeypadModifier);
  ExpectOneBox(MessageKind::kInformation, "中間ﾌｧｲﾙが作成されました。\r");
  EXPECT_TRUE(std::filesystem::exists(file));
}

// A style that puts icons on the buttons of dialogs, as the X11 desktops' themes do.
class ButtonIconsStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 1;
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }
};

// Boxes in the pages' font, their buttons without icons, whatever the theme and the locale.
TEST_F(User, MessageBoxesLookLikeThePages) {
  App();
  QApplication::setStyle(new ButtonIconsStyle(QStyleFactory::create(QStringLiteral("Fusion"))));
  SetUpWizardLook();
  QMessageBox box;
  WizardBoxes::Prepare(box, MessageKind::kInformation, "はい", MessageButtons::kYesNoDefaultNo);
  EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::No));
  for (QAbstractButton* button : box.buttons())
    EXPECT_TRUE(button->icon().isNull()) << button->text().toStdString();
  auto* label = box.findChild<QLabel*>("qt_msgbox_label");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->font().family(), ProportionalFont().family());
  EXPECT_EQ(label->font().pixelSize(), ProportionalFont().pixelSize());
  // Qt's own boxes (the file dialog's question) take the application's font.
  EXPECT_EQ(QApplication::font().family(), ProportionalFont().family());
}

// The two fonts are there under the names asked for (on Windows the system's Japanese font or
// the IPA fonts beside the program) and have the pages' kanji and half-width kana.
TEST_F(User, FontsAreThereWithTheJapaneseCharacters) {
  App();
  for (const QFont& font : {ProportionalFont(), FixedPitchFont()}) {
    EXPECT_EQ(QFontInfo(font).family(), font.family());
    const QFontMetrics metrics(font);
    for (char32_t c : {U'\u9023', U'\uFF83', U'\uFF9E'})  // 連 ﾃ ﾞ
      EXPECT_TRUE(metrics.inFontUcs4(c))
          << font.family().toStdString() << " U+" << std::hex << static_cast<unsigned>(c);
  }
}

TEST_F(User, MessageBoxLinesAreNotWrapped) {
  const QString text =
      "このﾌﾟﾛｸﾞﾗﾑはｾｯﾄｱｯﾌﾟされている[ミルベク給与]のﾊﾞｰｼﾞｮﾝに対応していません。\r"
      "[ミルベク給与] ﾊﾞｰｼﾞｮﾝ 7.0.0 以降をｾｯﾄｱｯﾌﾟしてください。\r\rﾌﾟﾛｸﾞﾗﾑを強制終了します。";
  App();
  QMessageBox box;
  WizardBoxes::Prepare(box, MessageKind::kError, text, MessageButtons::kOk);
  box.show();
  auto* label = box.findChild<QLabel*>("qt_msgbox_label");
  ASSERT_NE(label, nullptr);
  // As high as the text is without any wrapping: four lines.
  QLabel unwrapped(label->text());
  unwrapped.setFont(label->font());
  EXPECT_EQ(label->heightForWidth(label->width()), unwrapped.sizeHint().height());
  EXPECT_LE(box.width(), box.screen()->availableGeometry().width());
}

TEST_F(User, LauncherFileIsNeverRemembered) {
  const std::string ini = FromNativePath(env_->CommonDataDir() / "DataSelect.ini");
  platform::WriteProfileString(ini, "NENCHO", "EXPORTFILE", "/mine/last.xml");
  const auto file = env_->OutFolder() / "launcher.xml.qve";
  for (const char* window : {"0", "77"}) {  // function id 0 both times
    ASSERT_TRUE(Start({std::string(window) + ",1025,0," + file.string() + ",c2VjcmV0LWtleQ=="}));
    Next();
    SelectDataSet(2);
    Next();
    Next();
    Next();
    EXPECT_TRUE(std::filesystem::exists(file));
    if (std::string_view(window) == "0")  // no launcher window to tell: the user is told
      ExpectOneBox(MessageKind::kInformation, "中間ﾌｧｲﾙが作成されました。\r");
    else
      ExpectNoBox();
    Destroy();
    EXPECT_EQ(platform::ReadProfileString(ini, "NENCHO", "EXPORTFILE", ""), "/mine/last.xml");
    EXPECT_EQ(platform::ReadProfileString(ini, "NENCHO", "DATA", ""), FromQ(env_->DataSetKey(2)));
    std::filesystem::remove(file);
  }
}

// On Windows the arguments come from the process's wide command line, not from the argv made
// below: these two are for POSIX.
#ifndef _WIN32
// Builds the application as the program does from a command line full of Qt's options, prints
// what the wizard got and what Qt acted on, and ends the process.
[[noreturn]] void ReportWhatQtSees() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  char name[] = "nc16-wizard", style[] = "-style", x[] = "x", reverse[] = "-reverse";
  char* argv[] = {name, style, x, reverse, nullptr};
  CommandLine line(4, argv);
  QApplication app(line.QtArgc(), line.QtArgv());
  std::string seen;
  for (const std::string& a : line.Arguments())
    seen += "[" + a + "]";
  std::fprintf(stderr, "%s %d %s\n", seen.c_str(), static_cast<int>(app.arguments().size()),
               app.layoutDirection() == Qt::RightToLeft ? "reversed" : "as usual");
  std::fflush(stderr);
  std::_Exit(0);
}

// Qt's options reach the wizard as arguments like any other, and Qt does not act on them. In a
// process of its own, whose application is the first and only one.
TEST(CommandLineTest, QtSeesNoArgument) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ReportWhatQtSees(), ::testing::ExitedWithCode(0),
              "\\[-style\\]\\[x\\]\\[-reverse\\] 1 as usual");
}
#endif

// Starts the wizard on a demo installation, its application on a screen of `width` x `height`
// at the scale factor `scale`, and prints whether the form and the error list lie on the screen
// whole and whether they had to shrink; then ends the process.
[[noreturn]] void ReportFit(int width, int height, const char* scale) {
  {
    DemoEnvironment env;
    // A name without a drive letter, whose ":" would end Qt's platform argument.
    std::filesystem::current_path(env.Root());
    const std::string config = "screen.json";
    std::ofstream(config) << "{\"screens\": [{\"name\": \"s\", \"x\": 0, \"y\": 0, \"width\": "
                          << width << ", \"height\": " << height
                          << ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}";
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + config.c_str());
    qputenv("QT_SCALE_FACTOR", scale);
    int argc = 1;
    char name[] = "nc16-wizard";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    InstallQtJapanese();
    SetUpWizardLook();
    WizardBoxes::SetRecording(true);
    WizardBoxes boxes;
    TForm1 form({}, boxes);
    if (!form.FormCreate()) std::_Exit(3);
    TForm2 form2(&form);
    form.show();
    form2.show();
    QApplication::processEvents();
    const QRect area = form.screen()->availableGeometry();
    auto whole = [&](const QWidget* w) {
      return area.contains(QRect(w->mapToGlobal(QPoint(0, 0)), w->size()));
    };
    // Shrunk as a whole: the grid's columns keep their share of the page.
    const int column = form.page2->StringGrid1->columnWidth(0);
    const bool fits = area.contains(form.frameGeometry()) && whole(form.Button2) &&
                      whole(form.btnCancel) && form2.width() <= area.width() &&
                      form2.height() <= area.height() &&
                      std::abs(column * kPageWidth - 245 * form.width()) <= kPageWidth;
    std::fprintf(stderr, "%s %s\n", fits ? "fits" : "does not fit",
                 form.width() < kPageWidth ? "shrunk" : "as designed");
    std::fflush(stderr);
  }
  std::_Exit(0);
}

// Next and Cancel on the screen at every scale factor: 660 by 392 pixels do not fit the 512 by 384
// or 640 by 512 that a 1024x768 or a 1280x1024 screen offers at 200 %. Each in a process of its
// own: the screen and the scale factor are an application's from its start.
TEST(ScreenFitTest, TheWindowFitsTheScreenAtEveryScaleFactor) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct Screen {
    int width, height;
    const char* scale;
    const char* expected;
  };
  for (const Screen& s :
       {Screen{1024, 768, "1", "fits as designed"}, Screen{1280, 1024, "2", "fits shrunk"},
        Screen{1024, 768, "2", "fits shrunk"}}) {
    SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height) + " at " + s.scale);
    EXPECT_EXIT(ReportFit(s.width, s.height, s.scale), ::testing::ExitedWithCode(0), s.expected);
  }
}

}  // namespace
}  // namespace nc16::test
