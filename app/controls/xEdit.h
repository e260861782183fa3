#pragma once
// TxEdit: a one-line edit box with keyboard navigation between the controls of a form (Enter and
// the arrow keys chosen in KeyStyles move the focus like Tab and Shift+Tab; on a form with a
// default button Enter is left to the form, which presses it), a choice of where
// the caret goes when the box is entered, text alignment, a flat or 3D border, and the text read
// and written as an integer or a money amount.
//
// The character filter OnKeyPress sees every typed character (backspace 8, Enter 13 and Escape
// 27 included) and may discard it by setting it to the zero character. Text that arrives by
// other means (pasting, dropping) passes the same filter character by character, so a filter
// cannot be bypassed.
//
// The reading capture of the Japanese input method (KanaSw) is not built: the property is kept
// so forms can store it, but switching it on captures nothing; `kana` returns what was assigned.

#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <initializer_list>

namespace nc16 {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBorderStyle { bsNone, bsSingle };
enum TKeyStyle { ksEnter, ksLeft, ksUp, ksRight, ksDown };
enum TCursorPoss { cpAllSel, cpLeft, cpRight };

// A set of TKeyStyle.
class TKeyStyles {
 public:
  TKeyStyles() = default;
  TKeyStyles(std::initializer_list<TKeyStyle> members) {
    for (TKeyStyle m : members)
      bits_ |= 1u << m;
  }
  bool Contains(TKeyStyle m) const { return (bits_ & (1u << m)) != 0; }
  friend bool operator==(TKeyStyles a, TKeyStyles b) = default;

 private:
  unsigned bits_ = 0;
};

// Money with four decimals: `units` is the amount times 10000.
struct TxCurrency {
  int64_t units = 0;
  friend bool operator==(TxCurrency a, TxCurrency b) = default;
};

class TxEdit : public QLineEdit {
  Q_OBJECT
 public:
  explicit TxEdit(QWidget* parent = nullptr);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TBorderStyle KeyEdit3D() const { return key_edit_3d_; }
  void SetKeyEdit3D(TBorderStyle value);
  // The character that stands for every character of the text, as password boxes show it; the
  // zero character (the default) shows the text itself.
  QChar PasswordChar() const { return password_char_; }
  void SetPasswordChar(QChar value);
  TKeyStyles KeyStyles() const { return key_styles_; }
  void SetKeyStyles(TKeyStyles value) { key_styles_ = value; }
  TCursorPoss CursorPos() const { return cursor_pos_; }
  void SetCursorPos(TCursorPoss value) { cursor_pos_ = value; }

  // The text as a money amount / an integer; text that does not convert reads as 0. Writing 0
  // leaves the text unchanged.
  TxCurrency Curr() const;
  void SetCurr(TxCurrency value);
  int32_t Long() const;
  void SetLong(int32_t value);

  QString kana() const { return kana_; }
  void SetKana(const QString& value) {
    if (!value.isEmpty()) kana_ = value;
  }
  bool KanaSw() const { return kana_sw_; }
  void SetKanaSw(bool value) { kana_sw_ = value; }

  // The form's character filter; set the character to the zero character to discard it.
  void SetOnKeyPress(std::function<void(QObject* sender, QChar& key)> filter);

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Moves the focus as Tab (forward) or Shift+Tab would; a box on no form only drops the key.
  void MoveFocus(bool forward);
  // The box's form has a default push button that can be pressed.
  bool FormHasDefaultButton() const;
  bool Passes(QChar c) const;
  // The style sheet of the border and the password character.
  void ApplyLook();

  TAlignment alignment_ = taLeftJustify;
  TBorderStyle key_edit_3d_ = bsSingle;
  QChar password_char_;
  TKeyStyles key_styles_{ksEnter, ksUp};
  TCursorPoss cursor_pos_ = cpAllSel;
  bool kana_sw_ = false;
  QString kana_;
  std::function<void(QObject*, QChar&)> on_key_press_;
};

}  // namespace nc16
