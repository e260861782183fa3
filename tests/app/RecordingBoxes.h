#pragma once
// Message boxes that record what they were asked to show, for tests of the steps that talk to
// the user.

#include <string>
#include <utility>
#include <vector>

#include "platform/Cp932.h"
#include "platform/MessageBox.h"

namespace nc16::test {

class RecordingBoxes : public MessageBoxes {
 public:
  MessageAnswer Show(MessageKind kind, const std::string& text, MessageButtons buttons) override {
    shown.emplace_back(kind, Cp932ToUtf8(text));
    if (buttons == MessageButtons::kYesNo) return next_answer;
    return MessageAnswer::kOk;
  }
  std::vector<std::pair<MessageKind, std::string>> shown;  // texts as UTF-8
  MessageAnswer next_answer = MessageAnswer::kYes;
};

}  // namespace nc16::test
