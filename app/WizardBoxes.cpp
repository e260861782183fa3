#include "app/WizardBoxes.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "app/QtText.h"
#include "app/WizardFonts.h"
#include "document/Texts.h"

namespace nc16 {

bool WizardBoxes::recording_ = false;
std::deque<MessageAnswer> WizardBoxes::answers_;
std::vector<WizardBoxes::Shown> WizardBoxes::recorded_;

QString WizardBoxes::Title() {
  return ToQ(texts::ProgramTitle());
}

void WizardBoxes::SetRecording(bool on) {
  recording_ = on;
}
void WizardBoxes::SetNextAnswer(MessageAnswer answer) {
  answers_.push_back(answer);
}
std::vector<WizardBoxes::Shown>& WizardBoxes::Recorded() {
  return recorded_;
}
void WizardBoxes::Clear() {
  answers_.clear();
  recorded_.clear();
}

namespace {

// Qt wraps a message wider than half the screen (and 500 pixels); the system's messages break
// lines only where their text does. The text gets the width of its longest line, within the
// width Qt allows a box on this screen, less room for the icon and the margins.
void KeepLinesWhole(QMessageBox& box) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (!label) return;
  const QScreen* screen = box.screen();
  const int screen_width = screen ? screen->availableGeometry().width() : 1024;
  const int box_limit = screen_width <= 1024 ? screen_width : std::min(screen_width - 480, 1000);
  label->setWordWrap(false);
  // One character more: text is measured and drawn with fractions of a pixel, and a line that
  // just fits when measured may not when drawn on the screen.
  const int widest = label->sizeHint().width() + label->fontMetrics().horizontalAdvance(u'\u3000');
  label->setMinimumWidth(std::min(widest, box_limit - 120));
}

}  // namespace

void WizardBoxes::Prepare(QMessageBox& box, MessageKind kind, const QString& text,
                          MessageButtons buttons) {
  box.setWindowTitle(Title());
  box.setIcon(kind == MessageKind::kInformation ? QMessageBox::Information
              : kind == MessageKind::kWarning   ? QMessageBox::Warning
                                                : QMessageBox::Critical);
  // The system's messages break lines with a bare CR.
  QString shown = text;
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  box.setTextFormat(Qt::PlainText);
  box.setText(shown);
  KeepLinesWhole(box);
  // The pages' font, also where a theme gives message boxes a font of their own.
  box.setFont(ProportionalFont());
  if (buttons != MessageButtons::kOk) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(buttons == MessageButtons::kYesNo ? QMessageBox::Yes : QMessageBox::No);
    // The captions of the system's Japanese message boxes, whatever Qt's translations say.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("はい(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("いいえ(&N)"));
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
}

MessageAnswer WizardBoxes::Show(MessageKind kind, const std::string& text, MessageButtons buttons) {
  const QString message = ToQ(text);
  if (recording_) {
    recorded_.push_back({kind, message, buttons});
    MessageAnswer answer = buttons == MessageButtons::kOk ? MessageAnswer::kOk : MessageAnswer::kNo;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    return answer;
  }

  QMessageBox box(QApplication::activeWindow());
  Prepare(box, kind, message, buttons);
  if (buttons != MessageButtons::kOk)
    return box.exec() == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
  box.exec();
  return MessageAnswer::kOk;
}

}  // namespace nc16
