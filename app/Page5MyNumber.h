#pragma once
// Page "page5": whether individual numbers (My Number) go into the file, and the company's My
// Number management password that allows it.

#include <QGroupBox>
#include <QWidget>
#include <functional>
#include <string>

class QButtonGroup;
class QLabel;
class QRadioButton;

namespace nc16 {

class TxEdit;

// A radio group: a titled box of items, one selected (ItemIndex).
class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);
  int ItemIndex() const;
  void SetItemIndex(int index);
  QRadioButton* Item(int index) const;
  // A click on an item by the user.
  std::function<void()> OnClick;

 private:
  QButtonGroup* group_;
};

class Page5MyNumber : public QWidget {
  Q_OBJECT
 public:
  explicit Page5MyNumber(QWidget* parent = nullptr);

  // Shows the password row for the second item, hides it for the first.
  void grpMnNumClick();
  // Label6c's text, which names the payroll product.
  void SetSourceProduct(const std::string& source);
  // The password box's filter: letters, digits, backspace, Enter and Escape.
  static void edMNumKeyPress(QObject* sender, QChar& key);

  QLabel* Label6a;
  TRadioGroup* grpMnNum;
  QLabel* Label6b;
  TxEdit* edMNum;
  QLabel* Label6c;
};

}  // namespace nc16
