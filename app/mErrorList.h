#pragma once
// TForm2: the error-list window. It lives from start-up to the end of the program and is shown
// modally only when an export found problems in employee data. Its model is the ErrorList that
// the extraction fills; Memo1 shows the list, the hidden Memo2 the current employee's lines.

#include <QDialog>

#include "extract/ErrorList.h"

class QPlainTextEdit;
class QPushButton;

namespace nc16 {

class TForm2 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm2(QWidget* parent = nullptr);

  ErrorList Errors;  // filled by the extraction

  // Shows the list modally; Memo1 and Memo2 are refreshed from Errors first.
  int ShowModal();
  void Button1Click();
  // Shows the lines of Errors in the two memos.
  void Refresh();

  QPlainTextEdit* Memo1;
  QPushButton* Button1;
  QPlainTextEdit* Memo2;
};

}  // namespace nc16
