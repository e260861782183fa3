#pragma once
// Small helpers shared by the wizard's pages: the page area's size and the borderless,
// read-only memos that stand on the "disabled panels" of the introduction and summary pages.

#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>

namespace nc16 {

// The page area of the wizard form.
inline constexpr int kPageWidth = 660;
inline constexpr int kPageHeight = 340;

// A memo that shows text only: no border, no focus, no mouse, the page's background. (A memo
// on a disabled panel takes no input, yet its text is drawn in full colour.)
inline QPlainTextEdit* MakeShowMemo(QWidget* parent, const char* name, int x, int y, int w, int h) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setObjectName(QLatin1String(name));
  memo->setGeometry(x, y, w, h);
  memo->setFrameShape(QFrame::NoFrame);
  memo->setReadOnly(true);
  memo->setFocusPolicy(Qt::NoFocus);
  memo->setAttribute(Qt::WA_TransparentForMouseEvents);
  memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo->viewport()->setAutoFillBackground(false);
  memo->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
  return memo;
}

inline QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y,
                         int w, int h) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setGeometry(x, y, w, h);
  return label;
}

// The memo's lines, one per entry.
inline QStringList MemoLines(const QPlainTextEdit* memo) {
  return memo->toPlainText().split(QLatin1Char('\n'));
}

}  // namespace nc16
