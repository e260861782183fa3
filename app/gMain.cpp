#include "app/gMain.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "app/Page1Intro.h"
#include "app/Page2DataSet.h"
#include "app/Page3File.h"
#include "app/Page4Summary.h"
#include "app/Page5MyNumber.h"
#include "app/QtText.h"
#include "app/ScreenFit.h"
#include "app/WizardFonts.h"
#include "app/WizardPage.h"
#include "app/controls/xEdit.h"
#include "app/controls/xWizard.h"
#include "app/flow/Export.h"
#include "app/flow/HolderFolder.h"
#include "app/flow/OutputStep.h"
#include "app/flow/PageChecks.h"
#include "app/flow/Startup.h"
#include "app/mErrorList.h"
#include "document/ArgUtils.h"
#include "document/Texts.h"
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
  page2 = new Page2DataSet(
      [this](const std::string& sort_field, const std::string& direction) {
        Messages shown;
        std::vector<DataListRow> rows =
            LoadDataList(Check->dbDatabase1, Check->Eras(), ExportInfo->CommonDataDir, sort_field,
                         direction, shown);
        boxes_.ShowAll(shown);
        return rows;
      },
      Wizard1);
  page5 = new Page5MyNumber(Wizard1);
  page3 = new Page3File(Wizard1);
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
  btnCancel = new QPushButton(ToQ(texts::CancelCaption()), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(560, kPageHeight + 16, 85, 25);
  connect(btnCancel, &QPushButton::clicked, this, &TForm1::btnCancelClick);
  // Enter in the grid leads to Next; the move counts as one made with the keyboard, after which
  // styles draw the focus frame.
  connect(page2, &Page2DataSet::EnterPressed, this,
          [this] { Button2->setFocus(Qt::ShortcutFocusReason); });

  // As on the system the wizard comes from, Enter clicks the focused push button (Qt leaves
  // that to dialogs) and the focused button is drawn as the default one; from any other control
  // Enter presses Next, the default button (keyPressEvent), which is therefore not auto-default:
  // such a button stops being the default when the focus leaves it. Tab follows the buttons as
  // they stand: Back, Next, Cancel.
  for (QPushButton* button : findChildren<QPushButton*>())
    button->setAutoDefault(button != Button2);
  Button2->setDefault(true);
  connect(Wizard1, &QStackedWidget::currentChanged, this, &TForm1::FocusFirstControl);

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
}

int TForm1::MyNumberChoice() const {
  return page5->grpMnNum->ItemIndex();
}

bool TForm1::FormCreate() {
  // A start-up stop ends the program as if it had never run: one box, and DataSelect.ini is
  // left as it was (a save could also fail and show a second box).
  auto stop = [this](const std::string& message) {
    if (ExportInfo) ExportInfo->DiscardSelection();
    boxes_.Show(MessageKind::kError, message);
    return false;
  };

  SystemDrive = GetWindowsDrive();
  ResultCode = 2;
  MyNumberInUse = false;
  MyNumberPassword.clear();
  Wizard1->SetActivePage(QStringLiteral("page1"));

  if (args_.size() > 1) return stop(texts::InvalidArguments());
  if (args_.size() == 1) {
    // A field that is not a number would give the launcher's window a made-up handle.
    std::optional<LaunchArgument> argument = ParseLaunchArgument(Utf8ToCp932(args_[0]));
    if (!argument) return stop(texts::InvalidArguments());
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

  // The launcher's file is the output even with a function id of 0, which would otherwise
  // offer the remembered file; and it never replaces the file the user last chose.
  ExportInfo = std::make_unique<TDataExportInfo>(
      LaunchFile, LaunchKey, LauncherWParam,
      argument_given_ ? Remembering::kDataSet : Remembering::kDataSetAndFile);
  ExportInfo->OnSaveError = [this](const std::string& message) {
    boxes_.Show(MessageKind::kError, message);
  };
  if (std::optional<std::string> message = CheckInstallation(*ExportInfo)) return stop(*message);
  Check = std::make_unique<DataSetCheck>(*ExportInfo);

  setWindowTitle(ToQ(ExportInfo->WindowCaption));
  SetProductTexts();
  page2->SetUp(ExportInfo->CompanyName, ExportInfo->DataKey);
  if (page3) page3->Edit4a->setText(ToQ(ExportInfo->OutputFile));
  page5->SetSourceProduct(ExportInfo->SourceProductName);
  FitToScreen(this);
  if (QScreen* screen = this->screen())
    move(screen->availableGeometry().center() - rect().center());
  FocusFirstControl();
  return true;
}

void TForm1::SetProductTexts() {
  const std::string& source = ExportInfo->SourceProductName;
  const std::string& target = ExportInfo->TargetProductName;
  if (!StartedByLauncher()) {
    page1->Memo1a->setPlainText(ToQLines(texts::IntroAlone(source, target)));
    if (page3) page3->SetTargetProduct(target);
  } else {
    page1->Memo1a->setPlainText(ToQLines(texts::IntroByLauncher(source, target)));
  }
  page1->Memo1b->setPlainText(ToQLines(texts::IntroCloseSource(source)));
  page2->Label2a->setText(ToQ(texts::DataSetPageLead(source)));
}

void TForm1::Warn(const std::string& text, QWidget* about) {
  boxes_.Show(MessageKind::kWarning, text);
  Button2->setText(Wizard1->NextButtonCap);
  about->setFocus(Qt::OtherFocusReason);
}

void TForm1::FocusFirstControl() {
  QWidget* page = Wizard1->currentWidget();
  if (page == nullptr) return;
  // The page's controls in the tab order; of a radio group, the item that is selected.
  for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
    if (!page->isAncestorOf(w) || !(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled() ||
        !w->isVisibleTo(page))
      continue;
    if (auto* item = qobject_cast<QRadioButton*>(w); item != nullptr && !item->isChecked() &&
                                                     item->group() != nullptr &&
                                                     item->group()->checkedButton() != nullptr)
      continue;
    w->setFocus(Qt::TabFocusReason);
    return;
  }
  Button2->setFocus(Qt::TabFocusReason);
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    event->accept();
    if (Button2->isVisible() && Button2->isEnabled()) Button2->click();
    return;
  }
  if (plain && event->key() == Qt::Key_Escape) {
    event->accept();
    btnCancelClick();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm1::Wizard1NextClicking(QObject*, bool FinalState, bool& AllowChange) {
  if (FinalState) return;
  AllowChange = false;
  const QString page = Wizard1->ActivePage();

  if (page == QLatin1String("page2")) {
    const int row = page2->SelectedRow();
    // An empty list has no data set to check.
    if (row == 0) return Warn(texts::NoDataSetToChoose(), page2->StringGrid1);
    Messages shown;
    const bool ok = Check->CheckSelectedData(FromQ(page2->Cell(3, row)), shown);
    boxes_.ShowAll(shown);
    MyNumberInUse = Check->MyNumberInUse;
    MyNumberPassword = Check->MyNumberPassword;
    if (!ok) {
      page2->StringGrid1->setFocus(Qt::OtherFocusReason);
      return;
    }
    page5->grpMnNum->setEnabled(true);
    page5->grpMnNum->SetItemIndex(0);
    page5->edMNum->clear();
    page5->grpMnNumClick();
    if (!MyNumberInUse) page5->grpMnNum->setEnabled(false);
    AllowChange = true;
  } else if (page == QLatin1String("page5")) {
    if (auto refused = CheckManagementPassword(MyNumberChoice() == 1, FromQ(page5->edMNum->text()),
                                               MyNumberPassword))
      return Warn(*refused, page5->edMNum);
    // Without the file page (a launch argument, whatever its window field), the summary comes
    // next and is built here.
    if (StartedByLauncher() || !page3) {
      BuildSummary();
    } else {
      page3->Prepare(ExportInfo->OutputFile, MyNumberChoice() == 1);
    }
    AllowChange = true;
  } else if (page == QLatin1String("page3")) {
    if (StartedByLauncher() || !page3) {
      AllowChange = true;
      return;
    }
    if (!CheckFilePage()) return;
    BuildSummary();
    AllowChange = true;
  } else {
    AllowChange = true;
  }
}

bool TForm1::CheckFilePage() {
  QLineEdit* name_box = page3->Edit4a;
  auto refuse = [this](const std::string& text, QWidget* about) {
    Warn(text, about);
    return false;
  };
  if (auto refused = CheckFileNameText(name_box->text().toStdString()))
    return refuse(*refused, name_box);
  const std::string file = FromQ(name_box->text());
  if (auto refused = CheckOutputFileName(file)) return refuse(*refused, name_box);
  if (auto refused = CheckEncryptionPassword(MyNumberChoice() == 1, FromQ(page3->EditPass->text())))
    return refuse(*refused, page3->EditPass);
  // What the export would only meet at Finish, which ends the wizard, is said here.
  std::string target;
  try {
    target = OutputTargetOf(file);
  } catch (const EOSError& e) {
    return refuse(e.what(), name_box);
  }
  if (auto refused = CheckOutputTarget(target)) return refuse(*refused, name_box);
  if (auto question = ReplaceQuestion(target); question && !page3->ReplaceConfirmed()) {
    if (boxes_.Show(MessageKind::kWarning, *question, MessageButtons::kYesNoDefaultNo) !=
        MessageAnswer::kYes) {
      Button2->setText(Wizard1->NextButtonCap);
      name_box->setFocus(Qt::OtherFocusReason);
      return false;
    }
  }
  return true;
}

void TForm1::BuildSummary() {
  TDataExportInfo& info = *ExportInfo;
  const bool with_my_number = MyNumberChoice() == 1;
  std::vector<std::string> lines;
  lines.push_back(texts::SummarySourceHeading());
  lines.push_back(texts::SummaryCompany(info.CompanyName));
  lines.push_back(texts::SummaryYear(info.EraName, info.FilingYear));
  lines.push_back(texts::SummaryFolderLabel() + ShortenedPath(info.DataFolder, info.CommonDataDir));
  lines.push_back(texts::SummaryMyNumber(with_my_number));
  info.IncludeMyNumber = with_my_number ? 1 : 0;
  if (!StartedByLauncher() && page3) {
    info.OutputFile = FromQ(page3->Edit4a->text());
    lines.push_back("");
    lines.push_back(texts::SummaryFileHeading());
    lines.push_back(' ' + ResolveOutputPath(info.OutputFile));
    info.Password = FromQ(page3->EditPass->text());
  }
  QStringList shown;
  for (const std::string& line : lines)
    shown << ToQ(line);
  page4->Memo5b->setPlainText(shown.join(QLatin1Char('\n')));
}

ExportOutcome TForm1::MakeIntermediateFile() {
  const TDataExportInfo& info = *ExportInfo;
  ExportRequest request;
  request.DataSet = info.DataKey;
  request.MyNumber =
      info.IncludeMyNumber == 1 ? IndividualNumbers::kWith : IndividualNumbers::kWithout;
  request.ManagementPassword = FromQ(page5->edMNum->text());
  request.OutputFile = info.OutputFile;
  // A launch argument gives the file and the key, also when its window field is 0.
  if (StartedByLauncher() || FilePageRemoved()) {
    request.LauncherKey = info.Password;
    request.FunctionId = info.CallerFunctionId;
  } else {
    request.Password = info.Password;
  }
  request.KdfLimits = kdf_limits_;
  // The export opens connections of the same names as the pages'.
  Check->Disconnect();
  ExportOutcome outcome = ExportDataSet(request);
  boxes_.ShowAll(outcome.Shown);
  if (form2_) {
    form2_->Errors = ErrorList();
    form2_->Errors.Lines = std::move(outcome.Problems);
  }
  return outcome;
}

void TForm1::Wizard1NextClick(QObject*, bool FinalState) {
  if (!FinalState) return;
  ExportOutcome outcome;
  {
    WaitCursor wait;
    outcome = MakeIntermediateFile();
  }
  const ExportResult result = outcome.Result;
  // Known before the closing message, so that a request to end the program while it is shown
  // still tells the launcher what happened.
  ResultCode = CodesOf(result).launcher_result;
  exported_ = true;
  switch (result) {
    case ExportResult::kWritten:
      if (!StartedByLauncher()) boxes_.Show(MessageKind::kInformation, texts::FileWritten());
      break;
    case ExportResult::kNoEmployee:
      break;
    case ExportResult::kProblems:
      if (form2_) form2_->ShowModal();
      break;
    default:
      // The cause on a line of its own, where no message of the export has said it.
      boxes_.Show(MessageKind::kError,
                  texts::FileFailed() + (outcome.Cause.empty() ? "" : outcome.Cause + "\r"));
      break;
  }
  CloseByProgram();
}

void TForm1::btnCancelClick() {
  const MessageAnswer answer =
      boxes_.Show(MessageKind::kInformation, texts::CancelQuestion(), MessageButtons::kYesNo);
  if (answer != MessageAnswer::kYes) return;
  ResultCode = 1;
  CloseByProgram();
}

void TForm1::EndOnRequest() {
  if (!exported_) ResultCode = 2;
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
