#pragma once
// The program's message boxes as modal Qt dialogs: information, warning or error icon, OK or
// Yes/No, the application's title, the pages' font, CR line breaks.
//
// Test seam: while recording is on, no box is shown; each is recorded and answered with the next
// queued answer (OK, or No for a question, when none is queued).

#include <QMessageBox>
#include <QString>
#include <deque>
#include <vector>

#include "platform/MessageBox.h"

namespace nc16 {

class WizardBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(MessageKind kind, const std::string& text,
                     MessageButtons buttons = MessageButtons::kOk) override;

  // The title of every box: the application's title.
  static QString Title();
  // Sets up `box` as Show shows it: title, icon, font, text with CR line breaks, buttons.
  static void Prepare(QMessageBox& box, MessageKind kind, const QString& text,
                      MessageButtons buttons);

  struct Shown {
    MessageKind kind;
    QString text;  // as given, CR line breaks kept
    MessageButtons buttons;
  };
  static void SetRecording(bool on);
  static void SetNextAnswer(MessageAnswer answer);
  static std::vector<Shown>& Recorded();
  static void Clear();

 private:
  static bool recording_;
  static std::deque<MessageAnswer> answers_;
  static std::vector<Shown> recorded_;
};

}  // namespace nc16
