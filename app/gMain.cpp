#include "app/gMain.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "app/Page1Intro.h"
#include "app/Page2DataSet.h"
#include "app/Page3File.h"
#include "app/Page4Summary.h"
#include "app/Page5MyNumber.h"
#include "app/QtText.h"
#include "app/WizardFonts.h"
#include "app/WizardPage.h"
#include "app/controls/xEdit.h"
#include "app/controls/xWizard.h"
#include "app/flow/OutputStep.h"
#include "app/flow/Startup.h"
#include "app/mErrorList.h"
#include "document/ArgUtils.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

// The hourglass while the output step runs, restored on every way out.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

std::string Format1(const std::string& pattern, const std::string& a) {
  std::string out = pattern;
  out.replace(out.find("%s"), 2, a);
  return out;
}

std::string Format2(const std::string& pattern, const std::string& a, const std::string& b) {
  return Format1(Format1(pattern, a), b);
}

}  // namespace

TForm1::TForm1(std::vector<std::string> args, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent), args_(std::move(args)), boxes_(boxes) {
  setObjectName(QStringLiteral("Form1"));
  setFont(ProportionalFont());
  setFixedSize(kPageWidth, 392);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

  Wizard1 = new TxWizard(this);
  Wizard1->setObjectName(QStringLiteral("Wizard1"));
  Wizard1->setGeometry(0, 0, kPageWidth, kPageHeight);
  // The pages are built inside the wizard: controls with a style sheet (the flat password
  // boxes) take the form's font when the sheet is applied and would keep the application's.
  page1 = new Page1Intro(Wizard1);
  page2 = new Page2DataSet(*this, Wizard1);
  page5 = new Page5MyNumber(*this, Wizard1);
  page3 = new Page3File(*this, Wizard1);
  page4 = new Page4Summary(Wizard1);
  Wizard1->AddPage(page1, QStringLiteral("page1"));
  Wizard1->AddPage(page2, QStringLiteral("page2"));
  Wizard1->AddPage(page5, QStringLiteral("page5"));
  Wizard1->AddPage(page3, QStringLiteral("page3"));
  Wizard1->AddPage(page4, QStringLiteral("page4"));

  auto* bevel = new QFrame(this);
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);
  bevel->setGeometry(8, kPageHeight + 4, kPageWidth - 16, 2);

  Button1 = new QPushButton(this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(376, kPageHeight + 16, 85, 25);
  Button2 = new QPushButton(this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(461, kPageHeight + 16, 85, 25);
  btnCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(560, kPageHeight + 16, 85, 25);
  connect(btnCancel, &QPushButton::clicked, this, &TForm1::btnCancelClick);

  // As on the system the wizard comes from, Enter clicks the focused push button (Qt leaves
  // that to dialogs) and the focused button is drawn as the default one. Next follows the page's
  // controls, so Enter in a password box, which moves on to the next control, leads to it.
  for (QPushButton* button : findChildren<QPushButton*>())
    button->setAutoDefault(true);
  setTabOrder(Button2, Button1);

  Wizard1->SetBackButton(Button1);
  Wizard1->SetNextButton(Button2);
  Wizard1->OnNextClicking = [this](QObject* sender, bool final_state, bool& allow) {
    Wizard1NextClicking(sender, final_state, allow);
  };
  Wizard1->OnNextClick = [this](QObject* sender, bool final_state) {
    Wizard1NextClick(sender, final_state);
  };
}

TForm1::~TForm1() {
  // The connections first, then the settings, whose destruction saves the remembered choices.
  Check.reset();
  ExportInfo.reset();
}

void TForm1::SetErrorWindow(TForm2* form2) {
  form2_ = form2;
  if (ExportInfo) ExportInfo->Errors = form2 ? &form2->Errors : nullptr;
}

int TForm1::MyNumberChoice() const {
  return page5->grpMnNum->ItemIndex();
}

bool TForm1::FormCreate() {
  // A start-up stop ends the program as if it had never run: one box, and DataSelect.ini is
  // left as it was (a save could also fail and show a second box).
  auto stop = [this](const std::string& message) {
    if (ExportInfo) ExportInfo->SaveAtDestruction = false;
    boxes_.Show(MessageKind::kError, message);
    return false;
  };

  SystemDrive = GetWindowsDrive();
  ResultCode = 2;
  MyNumberInUse = false;
  MyNumberPassword.clear();
  Wizard1->SetActivePage(QStringLiteral("page1"));

  if (args_.size() > 1) return stop(InvalidArgumentsMessage());
  if (args_.size() == 1) {
    // A field that is not a number would give the launcher's window a made-up handle.
    std::optional<LaunchArgument> argument = ParseLaunchArgument(Utf8ToCp932(args_[0]));
    if (!argument) return stop(InvalidArgumentsMessage());
    LauncherWindow = argument->LauncherWindow;
    LauncherMessage = argument->LauncherMessage;
    LauncherWParam = argument->LauncherWParam;
    LaunchFile = argument->LaunchFile;
    LaunchKey = argument->LaunchKey;
    argument_given_ = true;
    if (LauncherWindow != 0) platform::EnableLauncherWindow(LauncherWindow, false);
    Wizard1->RemovePage(QStringLiteral("page3"));
    page3 = nullptr;
  }

  ExportInfo = std::make_unique<TDataExportInfo>(LaunchFile, LaunchKey, LauncherWParam);
  ExportInfo->OnSaveError = [this](const std::string& message) {
    boxes_.Show(MessageKind::kError, message);
  };
  if (form2_) ExportInfo->Errors = &form2_->Errors;
  // The launcher's file is the output even with a function id of 0, which would otherwise
  // offer the remembered file; and it never replaces the file the user last chose.
  if (argument_given_) {
    ExportInfo->OutputFile = LaunchFile;
    ExportInfo->RememberOutputFile = false;
  }
  if (std::optional<std::string> message = CheckInstallation(*ExportInfo)) return stop(*message);
  Check = std::make_unique<DataSetCheck>(*ExportInfo, boxes_);

  setWindowTitle(ToQ(ExportInfo->WindowCaption));
  SetProductTexts();
  page2->SetUp();
  if (page3) page3->Edit4a->setText(ToQ(ExportInfo->OutputFile));
  page5->Label6c->setText(
      QStringLiteral("連動情報に個人番号を含める場合、dedur給与のﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞを正しく入力"
                     "し、[次へ]をｸﾘｯｸしてください。"));
  if (QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - rect().center());
  return true;
}

void TForm1::SetProductTexts() {
  const std::string& source = ExportInfo->SourceProductName;
  const std::string& target = ExportInfo->TargetProductName;
  if (!StartedByLauncher()) {
    page1->Memo1a->setPlainText(
        ToQ(Format2(SJ("『%s』から『%s』へﾃﾞｰﾀを連動させるための"), source, target)) + "\n" +
        QStringLiteral("中間ﾌｧｲﾙを作成します。"));
    if (page3)
      page3->Label4a->setText(
          ToQ(Format1(SJ("連動先となる『%s』で使用する中間ﾌｧｲﾙを指定します。"), target)));
  } else {
    page1->Memo1a->setPlainText(
        ToQ(Format2(SJ("『%s』から『%s』へﾃﾞｰﾀの連動をおこないます。"), source, target)));
  }
  page1->Memo1b->setPlainText(
      ToQ(Format1(SJ("『%s』が起動している場合は終了してください。"), source)) + "\n\n\n" +
      QStringLiteral("作成を始めるには[次へ]をｸﾘｯｸしてください。"));
  page2->Label2a->setText(ToQ(Format1(SJ("連動元となる『%s』の対象ﾃﾞｰﾀを指定します。"), source)));
}

void TForm1::Wizard1NextClicking(QObject*, bool FinalState, bool& AllowChange) {
  if (FinalState) return;
  AllowChange = false;
  auto warn = [this](const std::string& text) {
    boxes_.Show(MessageKind::kWarning, text);
    Button2->setText(Wizard1->NextButtonCap);
  };
  const QString page = Wizard1->ActivePage();

  if (page == QLatin1String("page2")) {
    const int row = page2->SelectedRow();
    if (row == 0) {
      // An empty list has no data set to check.
      warn(SJ("選択できるﾃﾞｰﾀがありません。\r"));
      return;
    }
    const bool ok = Check->CheckSelectedData(FromQ(page2->Cell(3, row)));
    MyNumberInUse = Check->MyNumberInUse;
    MyNumberPassword = Check->MyNumberPassword;
    if (!ok) return;
    page5->grpMnNum->setEnabled(true);
    page5->grpMnNum->SetItemIndex(0);
    page5->edMNum->clear();
    page5->grpMnNumClick();
    if (!MyNumberInUse) page5->grpMnNum->setEnabled(false);
    AllowChange = true;
  } else if (page == QLatin1String("page5")) {
    if (MyNumberChoice() == 1) {
      const std::string typed = FromQ(page5->edMNum->text());
      if (typed.empty()) return warn(SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが入力されていません。\r"));
      if (typed != MyNumberPassword) return warn(SJ("ﾏｲﾅﾝﾊﾞｰ管理ﾊﾟｽﾜｰﾄﾞが違います。\r"));
    }
    // Without the file page (a launch argument, whatever its window field), the summary comes
    // next and is built here.
    if (StartedByLauncher() || !page3) {
      BuildSummary();
    } else {
      page3->Prepare(MyNumberChoice() == 1);
    }
    AllowChange = true;
  } else if (page == QLatin1String("page3")) {
    if (StartedByLauncher() || !page3) {
      AllowChange = true;
      return;
    }
    const std::string file = FromQ(page3->Edit4a->text());
    if (file.empty())
      return warn(SJ("中間ﾌｧｲﾙが指定されていません。\r指定してから[次へ]をｸﾘｯｸしてください。\r"));
    if (platform::WindowsMajorVersion() >= 6 && IsSystemDriveRoot(file)) {
      return warn(Format1(SJ("ｼｽﾃﾑﾄﾞﾗｲﾌﾞ(%s)直下にﾌｧｲﾙは指定できません。"), SystemDrive) + "\r" +
                  SJ("別のﾄﾞﾗｲﾌﾞまたはﾌｫﾙﾀﾞを指定してから[次へ]をｸﾘｯｸしてください。") + "\r");
    }
    if (IsTableFileName(file)) return warn(TableFileNameMessage());
    if (page3->EditPass->text().isEmpty() && MyNumberChoice() == 1)
      return warn(
          SJ("暗号化ﾊﾟｽﾜｰﾄﾞが入力されていません。\r入力してから[次へ]をｸﾘｯｸしてください。\r"));
    BuildSummary();
    AllowChange = true;
  } else {
    AllowChange = true;
  }
}

void TForm1::BuildSummary() {
  TDataExportInfo& info = *ExportInfo;
  QStringList lines;
  lines << QStringLiteral("【連動元情報】");
  lines << ToQ(Format1(SJ(" 会社名            : %s"), info.CompanyName));
  lines << ToQ(Format1(SJ(" 申告年度          : %s"), info.EraName)) + " " +
               QString::number(info.FilingYear) + QStringLiteral("年");
  const std::string folder_label = SJ(" ﾃﾞｰﾀﾌｫﾙﾀﾞﾊﾟｽ      : ");
  if (info.DataFolder.find(info.CommonDataDir) != std::string::npos) {
    lines << ToQ(
        folder_label + "~" +
        info.DataFolder.substr(std::min(info.CommonDataDir.size(), info.DataFolder.size())));
  } else {
    lines << ToQ(folder_label + info.DataFolder);
  }
  lines << (MyNumberChoice() == 0
                ? QStringLiteral(" 個人番号連動設定  : 連動情報に個人番号を含めない")
                : QStringLiteral(" 個人番号連動設定  : 連動情報に個人番号を含める"));
  info.IncludeMyNumber = MyNumberChoice() == 1 ? 1 : 0;
  if (!StartedByLauncher() && page3) {
    info.OutputFile = FromQ(page3->Edit4a->text());
    lines << QString() << QStringLiteral("【中間ﾌｧｲﾙ】");
    lines << ToQ(' ' + ResolveOutputPath(info.OutputFile, platform::ProgramFolder()));
    info.Password = FromQ(page3->EditPass->text());
  }
  page4->Memo5b->setPlainText(lines.join(QLatin1Char('\n')));
}

int TForm1::MakeIntermediateFile() {
  OutputContext context;
  // A launch argument gives the file and the key, also when its window field is 0.
  context.started_by_launcher = StartedByLauncher() || FilePageRemoved();
  context.program_folder = platform::ProgramFolder();
  context.kdf_limits = kdf_limits_;
  if (form2_) {
    form2_->Errors = ErrorList();
    ExportInfo->Errors = &form2_->Errors;
  }
  return nc16::MakeIntermediateFile(*ExportInfo, context, boxes_);
}

void TForm1::Wizard1NextClick(QObject*, bool FinalState) {
  if (!FinalState) return;
  int result = kOutputFailed;
  {
    WaitCursor wait;
    result = MakeIntermediateFile();
  }
  switch (result) {
    case kOutputWritten:
      if (!StartedByLauncher())
        boxes_.Show(MessageKind::kInformation, SJ("中間ﾌｧｲﾙが作成されました。\r"));
      ResultCode = 0;
      break;
    case kOutputNoEmployee:
      ResultCode = 1;
      break;
    case kOutputProblemsFound:
      if (form2_) form2_->ShowModal();
      ResultCode = 1;
      break;
    default:
      boxes_.Show(MessageKind::kError, SJ("中間ﾌｧｲﾙの作成に失敗しました。\r"));
      ResultCode = 2;
      break;
  }
  CloseByProgram();
}

void TForm1::btnCancelClick() {
  const MessageAnswer answer = boxes_.Show(
      MessageKind::kInformation,
      SJ("[ｷｬﾝｾﾙ]ﾎﾞﾀﾝが押されました。\r連動ﾃﾞｰﾀの作成ｳｨｻﾞｰﾄﾞを終了してもよろしいですか？\r"),
      MessageButtons::kYesNo);
  if (answer != MessageAnswer::kYes) return;
  ResultCode = 1;
  CloseByProgram();
}

void TForm1::CloseByProgram() {
  closing_by_program_ = true;
  close();
  // A hidden form is not closed by close(); it still ends the wizard.
  if (!form_closed_) FormClose();
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!closing_by_program_) ResultCode = 1;
  closing_by_program_ = false;
  FormClose();
  event->accept();
}

void TForm1::FormClose() {
  if (form_closed_) return;
  form_closed_ = true;
  // Only a launcher has a window to bring back; started alone these calls would do nothing.
  if (LauncherWindow != 0) {
    platform::BringLauncherToForeground(LauncherWindow);
    platform::EnableLauncherWindow(LauncherWindow, true);
    platform::PostLauncherMessage(LauncherWindow, LauncherMessage, LauncherWParam, ResultCode);
  }
  emit Closed();
}

}  // namespace nc16
