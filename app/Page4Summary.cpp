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
  // Every line is read in full, whatever its length: a long one wraps at the memo's edge
  // (anywhere: a path has no blanks to wrap at), and a summary taller than the memo scrolls, by
  // the mouse and, once the memo has the focus, by the keyboard.
  Memo5b->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  Memo5b->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  Memo5b->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Memo5b->setAttribute(Qt::WA_TransparentForMouseEvents, false);
  Memo5b->setFocusPolicy(Qt::StrongFocus);
  Memo5b->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

}  // namespace nc16
