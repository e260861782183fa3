#include "app/Page3File.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/QtText.h"
#include "app/WizardPage.h"
#include "app/controls/xEdit.h"
#include "app/flow/OutputStep.h"
#include "app/flow/PageChecks.h"
#include "document/Texts.h"
#include "platform/Platform.h"

namespace nc16 {

std::function<std::optional<QString>(const SaveDialogRequest&)> Page3File::SaveDialogAnswer;

namespace {

QString Native(const std::string& cp932) {
  return QString::fromStdString(NativePath(cp932).string());
}

}  // namespace

Page3File::Page3File(QWidget* parent) : QWidget(parent) {
  Label4a = MakeLabel(this, "Label4a", QString(), 16, 16, kPageWidth - 32, 16);
  GroupBox4 = new QGroupBox(ToQ(texts::FileGroup()), this);
  GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
  GroupBox4->setGeometry(16, 44, kPageWidth - 32, 60);
  Edit4a = new QLineEdit(GroupBox4);
  Edit4a->setObjectName(QStringLiteral("Edit4a"));
  Edit4a->setGeometry(12, 24, kPageWidth - 32 - 12 - 96, 21);
  Edit4a->installEventFilter(this);
  BitBtn4a = new QPushButton(ToQ(texts::Browse()), GroupBox4);
  BitBtn4a->setObjectName(QStringLiteral("BitBtn4a"));
  BitBtn4a->setGeometry(kPageWidth - 32 - 87, 22, 75, 25);
  connect(BitBtn4a, &QPushButton::clicked, this, &Page3File::BitBtn4aClick);

  Label1 = MakeLabel(this, "Label1", ToQ(texts::EncryptionPasswordLabel()), 32, 124, 150, 16);
  EditPass = new TxEdit(this);
  EditPass->setObjectName(QStringLiteral("EditPass"));
  EditPass->setGeometry(186, 121, 180, 21);
  EditPass->setMaxLength(20);
  EditPass->SetPasswordChar(QLatin1Char('*'));
  EditPass->setAttribute(Qt::WA_InputMethodEnabled, false);
  EditPass->SetKeyEdit3D(bsNone);
  EditPass->SetOnKeyPress(&Page3File::EditPassKeyPress);

  Label4b = MakeLabel(this, "Label4b", QString(), 16, 164, kPageWidth - 32, 32);
  Label4b->setWordWrap(true);
}

void Page3File::SetTargetProduct(const std::string& target) {
  Label4a->setText(ToQ(texts::FilePageLead(target)));
}

void Page3File::Prepare(const std::string& remembered, bool with_my_number) {
  with_my_number_ = with_my_number;
  EditPass->setVisible(with_my_number);
  Label1->setVisible(with_my_number);
  Label4b->setText(ToQ(with_my_number ? texts::FileAndPasswordHint() : texts::FileHint()));
  Edit4a->setText(ToQ(OfferedFileName(remembered, with_my_number)));
}

void Page3File::BitBtn4aClick() {
  const bool with_my_number = with_my_number_;
  SaveDialogRequest request;
  request.title = ToQ(texts::SaveDialogTitle());
  request.folder = Native(ResolveOutputFolder(FromQ(Edit4a->text()), platform::ProgramFolder()));
  // Each filter names its patterns twice: the shown "(*.xml)" and the patterns Qt matches,
  // which it hides (HideNameFilterDetails) as the system dialog hides them.
  if (with_my_number) {
    request.filters = {QStringLiteral("中間ﾌｧｲﾙ (*.xml.qve) (*.XML.QVE *.xml.qve)"),
                       QStringLiteral("すべてのﾌｧｲﾙ(*.*) (*)")};
  } else {
    request.filters = {QStringLiteral("中間ﾌｧｲﾙ (*.xml) (*.XML *.xml)"),
                       QStringLiteral("すべてのﾌｧｲﾙ(*.*) (*)")};
    request.defaultSuffix = QStringLiteral("xml");
  }
  request.fileName = Edit4a->text();

  std::optional<QString> chosen;
  if (SaveDialogAnswer) {
    chosen = SaveDialogAnswer(request);
  } else {
    QFileDialog dialog(this, request.title, request.folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.filters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    // The box may hold a path; the dialog offers its last part in its own folder.
    dialog.selectFile(
        QString::fromStdString(NativePath(FromQ(request.fileName)).filename().string()));
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      chosen = dialog.selectedFiles().first();
  }
  if (!chosen) return;
  std::string path = FromNativePath(std::filesystem::path(chosen->toStdString()));
  if (with_my_number && !EndsWithXmlQve(path)) path += ".XML.QVE";
  Edit4a->setText(ToQ(path));
}

void Page3File::EditPassKeyPress(QObject*, QChar& key) {
  const char16_t c = key.unicode();
  const bool passes =
      c == 8 || c == 13 || c == 27 || c == 33 || (c >= 35 && c <= 38) || (c >= 40 && c <= 127);
  if (!passes) key = QChar();
}

bool Page3File::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit4a &&
      (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      if (event->type() == QEvent::KeyRelease && !EditPass->isHidden()) EditPass->setFocus();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace nc16
