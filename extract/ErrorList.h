#pragma once
// The validation errors of an export, as the error-list window shows them: the lines of the
// current employee while the extraction runs, and the finished list. Lines are CP932 texts.

#include <string>
#include <vector>

namespace nc16 {

class ErrorList {
 public:
  std::vector<std::string> Lines;          // the list the user sees
  std::vector<std::string> EmployeeLines;  // the current employee's lines

  // The list as one text, each line ended by CR LF.
  std::string Text() const {
    std::string text;
    for (const auto& line : Lines)
      text += line + "\r\n";
    return text;
  }
};

}  // namespace nc16
