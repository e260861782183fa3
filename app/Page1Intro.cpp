#include "app/Page1Intro.h"

#include <QFrame>

#include "app/WizardPage.h"

namespace nc16 {

Page1Intro::Page1Intro(QWidget* parent) : QWidget(parent) {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setGeometry(16, 16, kPageWidth - 32, kPageHeight - 32);
  Memo1a = MakeShowMemo(panel, "Memo1a", 16, 24, kPageWidth - 64, 48);
  Memo1b = MakeShowMemo(panel, "Memo1b", 16, 112, kPageWidth - 64, 80);
}

}  // namespace nc16
