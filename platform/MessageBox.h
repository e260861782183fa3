#pragma once
// Messages for the user, as the program's steps produce them: values (a kind and a CP932 text)
// that each front end presents its own way. The wizard shows them in modal message boxes, the
// command-line program prints them to stderr, the batch keeps them for its summary and report.

#include <string>
#include <vector>

namespace nc16 {

enum class MessageKind { kInformation, kWarning, kError };
enum class MessageButtons {
  kOk,
  kYesNo,           // Yes the default
  kYesNoDefaultNo,  // No the default: a question whose Yes gives something up (a file replaced)
};
enum class MessageAnswer { kOk, kYes, kNo };

// One message, as one message box would show it.
struct Message {
  MessageKind kind;
  std::string text;  // CP932; a bare CR breaks lines
  friend bool operator==(const Message&, const Message&) = default;
};
using Messages = std::vector<Message>;

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows `text` (CP932; a bare CR breaks lines) and waits for the answer.
  virtual MessageAnswer Show(MessageKind kind, const std::string& text,
                             MessageButtons buttons = MessageButtons::kOk) = 0;

  // Shows each message in turn, with an OK button.
  void ShowAll(const Messages& messages) {
    for (const Message& m : messages)
      Show(m.kind, m.text);
  }
};

}  // namespace nc16
