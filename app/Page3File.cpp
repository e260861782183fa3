#include "app/Page3File.h"

#include <QDir>
#include <QGroupBox>
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
  request.folder = Native(ResolveOutputFolder(FromQ(Edit4a->text())));
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

  const std::optional<QString> chosen =
      SaveDialogAnswer ? SaveDialogAnswer(request) : AskSaveFile(this, request);
  if (!chosen) return;
  // The path as the dialog gives it: a name that CP932 cannot hold is refused by Next, not
  // changed here.
  QString path = QDir::toNativeSeparators(*chosen);
  confirmed_.clear();
  if (with_my_number && !EndsWithXmlQve(FromQ(path))) {
    path += QStringLiteral(".XML.QVE");  // another file than the one the dialog asked about
  } else {
    confirmed_ = path;
  }
  Edit4a->setText(path);
}

bool Page3File::ReplaceConfirmed() const {
  return !confirmed_.isEmpty() && Edit4a->text() == confirmed_;
}

void Page3File::EditPassKeyPress(QObject*, QChar& key) {
  const char16_t c = key.unicode();
  const bool passes =
      c == 8 || c == 13 || c == 27 || c == 33 || (c >= 35 && c <= 38) || (c >= 40 && c <= 127);
  if (!passes) key = QChar();
}

}  // namespace nc16
