#include "app/controls/xEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPushButton>
#include <QValidator>
#include <cmath>

namespace nc16 {
namespace {

// Runs text that did not come through the keyboard (pasting, dropping, input method commits)
// through the form's character filter, dropping what the filter would have refused.
class FilterValidator : public QValidator {
 public:
  FilterValidator(QObject* parent, std::function<bool(QChar)> passes)
      : QValidator(parent), passes_(std::move(passes)) {}
  State validate(QString& input, int& pos) const override {
    QString kept;
    int new_pos = pos;
    for (int i = 0; i < input.size(); ++i) {
      if (passes_(input[i])) {
        kept += input[i];
      } else if (i < pos) {
        --new_pos;
      }
    }
    input = kept;
    pos = new_pos;
    return Acceptable;
  }

 private:
  std::function<bool(QChar)> passes_;
};

}  // namespace

TxEdit::TxEdit(QWidget* parent) : QLineEdit(parent) {}

void TxEdit::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  switch (value) {
    case taLeftJustify:
      setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
      break;
    case taRightJustify:
      setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      break;
    case taCenter:
      setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
      break;
  }
}

void TxEdit::SetKeyEdit3D(TBorderStyle value) {
  if (value == key_edit_3d_) return;
  key_edit_3d_ = value;
  setFrame(value == bsSingle);
  ApplyLook();
}

void TxEdit::SetPasswordChar(QChar value) {
  password_char_ = value;
  setEchoMode(value.isNull() ? QLineEdit::Normal : QLineEdit::Password);
  ApplyLook();
}

void TxEdit::ApplyLook() {
  QString rules;
  // The flat look: a one-pixel line instead of the sunken frame.
  if (key_edit_3d_ == bsNone) rules += QStringLiteral("border: 1px solid #7a7a7a; ");
  // Qt's styles draw a password as bullets; the style sheet names the character to draw.
  if (!password_char_.isNull())
    rules += QStringLiteral("lineedit-password-character: %1; ").arg(password_char_.unicode());
  setStyleSheet(rules.isEmpty() ? QString() : QStringLiteral("QLineEdit { %1}").arg(rules));
}

TxCurrency TxEdit::Curr() const {
  // Decimal text with an optional sign and at most four decimals; anything else reads as 0.
  const QString t = text().trimmed();
  bool ok = false;
  const double v = QLocale::c().toDouble(t, &ok);
  if (!ok || !std::isfinite(v) || std::fabs(v) > 922337203685477.0) return {};
  return {static_cast<int64_t>(std::llround(v * 10000.0))};
}

void TxEdit::SetCurr(TxCurrency value) {
  if (value.units == 0) return;
  // The shortest decimal form, as money is usually written: 12.5, 3, -0.0001.
  const int64_t whole = value.units / 10000;
  int64_t frac = std::llabs(value.units % 10000);
  QString s =
      (value.units < 0 && whole == 0 ? QStringLiteral("-") : QString()) + QString::number(whole);
  if (frac != 0) {
    QString digits = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
    while (digits.endsWith(QLatin1Char('0')))
      digits.chop(1);
    s += QLatin1Char('.') + digits;
  }
  setText(s);
}

int32_t TxEdit::Long() const {
  bool ok = false;
  const int v = text().trimmed().toInt(&ok, 10);
  return ok ? v : 0;
}

void TxEdit::SetLong(int32_t value) {
  if (value != 0) setText(QString::number(value));
}

void TxEdit::SetOnKeyPress(std::function<void(QObject*, QChar&)> filter) {
  on_key_press_ = std::move(filter);
  if (on_key_press_) {
    setValidator(new FilterValidator(this, [this](QChar c) { return Passes(c); }));
  } else {
    setValidator(nullptr);
  }
}

bool TxEdit::Passes(QChar c) const {
  if (!on_key_press_) return true;
  QChar key = c;
  on_key_press_(const_cast<TxEdit*>(this), key);
  return !key.isNull();
}

void TxEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  switch (cursor_pos_) {
    case cpAllSel:
      selectAll();
      break;
    case cpLeft:
      deselect();
      setCursorPosition(0);
      break;
    case cpRight:
      deselect();
      setCursorPosition(text().size());
      break;
  }
  kana_.clear();
}

bool TxEdit::FormHasDefaultButton() const {
  if (isWindow()) return false;
  for (const QPushButton* button : window()->findChildren<QPushButton*>())
    if (button->isDefault() && button->isVisible() && button->isEnabled()) return true;
  return false;
}

void TxEdit::MoveFocus(bool forward) {
  // A box that is its own window has no form to move the focus on.
  if (isWindow()) return;
  focusNextPrevChild(forward);
}

void TxEdit::keyPressEvent(QKeyEvent* event) {
  // Windows hands Enter, backspace and Escape to the filter as characters 13, 8 and 27.
  QString typed = event->text();
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) typed = QStringLiteral("\r");
  if (typed.size() == 1 && on_key_press_) {
    QChar key = typed[0];
    on_key_press_(this, key);
    if (key.isNull()) {
      event->accept();
      return;
    }
  }

  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  const bool plain = (mods & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == 0;
  const bool whole_selected =
      !text().isEmpty() && selectionStart() == 0 && selectedText().size() == text().size();
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // On a form with a default button Enter presses it, as on Windows, where the form takes
      // that key before the box sees it: the key goes on to the form.
      if (key_styles_.Contains(ksEnter) && !FormHasDefaultButton()) {
        event->accept();
        MoveFocus(true);
        return;
      }
      break;
    case Qt::Key_Left:
      // At the very start, with nothing or everything selected.
      if (plain && key_styles_.Contains(ksLeft) &&
          (hasSelectedText() ? whole_selected : cursorPosition() == 0)) {
        event->accept();
        MoveFocus(false);
        return;
      }
      break;
    case Qt::Key_Up:
      if (plain && key_styles_.Contains(ksUp)) {
        event->accept();
        MoveFocus(false);
        return;
      }
      break;
    case Qt::Key_Right:
      if (plain && key_styles_.Contains(ksRight) && (text().isEmpty() || whole_selected)) {
        event->accept();
        MoveFocus(true);
        return;
      }
      break;
    case Qt::Key_Down:
      if (plain && key_styles_.Contains(ksDown)) {
        event->accept();
        MoveFocus(true);
        return;
      }
      break;
    default:
      break;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace nc16
