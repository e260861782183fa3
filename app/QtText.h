#pragma once
// The one crossing between the core's CP932 texts and Qt's strings.

#include <QString>
#include <string>

#include "platform/Cp932.h"

namespace nc16 {

inline QString ToQ(const std::string& cp932) {
  return QString::fromUtf8(Cp932ToUtf8(cp932).c_str());
}

// A text of several lines, its CR line breaks made the newlines that Qt's widgets break at.
inline QString ToQLines(const std::string& cp932) {
  QString text = ToQ(cp932);
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

inline std::string FromQ(const QString& text) {
  return Utf8ToCp932(text.toUtf8().toStdString());
}

}  // namespace nc16
