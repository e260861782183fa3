#pragma once
// Page "page1": the introduction. Two memos whose texts name the two products (set at start).

#include <QWidget>

class QPlainTextEdit;

namespace nc16 {

class Page1Intro : public QWidget {
  Q_OBJECT
 public:
  explicit Page1Intro(QWidget* parent = nullptr);
  QPlainTextEdit* Memo1a;
  QPlainTextEdit* Memo1b;
};

}  // namespace nc16
