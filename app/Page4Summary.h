#pragma once
// Page "page4": the summary. A fixed memo asking the user to check, and the summary memo
// Memo5b in the fixed-pitch font (its labels line up by byte columns), whose long lines wrap and
// which scrolls when they make it taller than the page.

#include <QWidget>

class QPlainTextEdit;

namespace nc16 {

class Page4Summary : public QWidget {
  Q_OBJECT
 public:
  explicit Page4Summary(QWidget* parent = nullptr);
  QPlainTextEdit* Memo5a;
  QPlainTextEdit* Memo5b;
};

}  // namespace nc16
