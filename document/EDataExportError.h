#pragma once
// The exception of the export code: a message, where in the export it arose, and a code the
// output step acts on (16 no employee, 1 problems in employee data, 256 a header fault, 512 a
// table changed while it was read).

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace nc16 {

class EDataExportError : public std::runtime_error {
 public:
  static constexpr int32_t kNoEmployee = 16;      // the data set has no employee
  static constexpr int32_t kProblemsFound = 1;    // employee data failed validation
  static constexpr int32_t kUnknownPrefix = 256;  // the header's business prefix is not known
  // Our own: a table file changed while the export read it (Detail names the file).
  static constexpr int32_t kDataChanged = 512;

  // Message and Detail are CP932; what() is the Message.
  EDataExportError(const std::string& message, std::string detail, int32_t code)
      : std::runtime_error(message), Detail(std::move(detail)), Code(code) {}

  std::string Detail;  // may be empty
  int32_t Code;
};

}  // namespace nc16
