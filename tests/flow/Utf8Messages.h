#pragma once
// Messages with their texts as UTF-8, for expectations that read as the user reads them.

#include <string>
#include <utility>
#include <vector>

#include "platform/Cp932.h"
#include "platform/MessageBox.h"

namespace nc16::test {

using Utf8Shown = std::vector<std::pair<MessageKind, std::string>>;

inline Utf8Shown Utf8(const Messages& messages) {
  Utf8Shown shown;
  for (const Message& m : messages)
    shown.emplace_back(m.kind, Cp932ToUtf8(m.text));
  return shown;
}

}  // namespace nc16::test
