#pragma once
// Modal message boxes, as the program's steps show them. The wizard implements this with
// dialogs, the command-line program by printing to stderr, tests by recording the messages.

#include <string>

namespace nc16 {

enum class MessageKind { kInformation, kWarning, kError };
enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows `text` (CP932; a bare CR breaks lines) and waits for the answer.
  virtual MessageAnswer Show(MessageKind kind, const std::string& text,
                             MessageButtons buttons = MessageButtons::kOk) = 0;
};

}  // namespace nc16
