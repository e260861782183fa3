#include "app/Page4Summary.h"

#include <QFrame>

#include "app/QtText.h"
#include "app/WizardFonts.h"
#include "app/WizardPage.h"
#include "document/Texts.h"

namespace nc16 {

Page4Summary::Page4Summary(QWidget* parent) : QWidget(parent) {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel5"));
  panel->setGeometry(16, 16, kPageWidth - 32, kPageHeight - 32);
  Memo5a = MakeShowMemo(panel, "Memo5a", 16, 16, kPageWidth - 64, 40);
  Memo5a->setPlainText(ToQLines(texts::SummaryDone()));
  Memo5b = MakeShowMemo(panel, "Memo5b", 16, 72, kPageWidth - 64, kPageHeight - 32 - 88);
  Memo5b->setFont(FixedPitchFont());
}

}  // namespace nc16
