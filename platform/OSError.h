#pragma once
// The exception of the OS layer.

#include <stdexcept>

namespace nc16 {

// An operating-system failure. what() is a CP932 message naming the file (or object) and the
// cause.
class EOSError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace nc16
