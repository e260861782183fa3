#include "app/mErrorList.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "app/QtText.h"
#include "app/ScreenFit.h"
#include "app/WizardFonts.h"
#include "document/Texts.h"

namespace nc16 {
namespace {

QString Lines(const std::vector<std::string>& lines) {
  QStringList list;
  for (const std::string& line : lines)
    list << ToQ(line);
  return list.join(QLatin1Char('\n'));
}

}  // namespace

TForm2::TForm2(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(ToQ(texts::ErrorListCaption()));
  setFont(ProportionalFont());
  setFixedSize(615, 421);
  setModal(true);

  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(268, 344, 77, 25);
  connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setGeometry(24, 24, 561, 305);
  Memo1->setFont(FixedPitchFont());
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

  Memo2 = new QPlainTextEdit(this);
  Memo2->setObjectName(QStringLiteral("Memo2"));
  Memo2->setGeometry(336, 8, 185, 89);
  Memo2->hide();

  // The button comes first in the tab order, so OK has the focus when the window opens.
  setTabOrder(Button1, Memo1);
  Button1->setDefault(true);
  FitToScreen(this);
}

void TForm2::Refresh() {
  Memo1->setPlainText(Lines(Errors.Lines));
  Memo1->moveCursor(QTextCursor::Start);
  Memo2->setPlainText(Lines(Errors.EmployeeLines));
}

int TForm2::ShowModal() {
  Refresh();
  if (QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
  Button1->setFocus();
  return exec();
}

void TForm2::Button1Click() {
  accept();
}

}  // namespace nc16
