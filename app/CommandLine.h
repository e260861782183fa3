#pragma once
// The command line as the user gave it. Qt is handed the program name alone, so that none of the
// user's arguments is taken for one of Qt's own options ("-style", "-platform", "-reverse" ...)
// and removed before the program counts them. The platform comes from QT_QPA_PLATFORM.

#include <string>
#include <vector>

#include "platform/StandardStreams.h"

namespace nc16 {

class CommandLine {
 public:
  // `argv` must outlive the object, which must outlive the application built from QtArgc and
  // QtArgv (Qt keeps references to both).
  // The arguments are the system's in UTF-8 (on Windows from the wide command line).
  CommandLine(int argc, char** argv) : qt_argv_{argc > 0 ? argv[0] : empty_, nullptr} {
    args_ = platform::CommandLineArguments(argc, argv);
    if (!args_.empty()) args_.erase(args_.begin());
  }
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  // Every argument after the program name, untouched.
  const std::vector<std::string>& Arguments() const { return args_; }
  // What Qt sees: the program name and nothing else.
  int& QtArgc() { return qt_argc_; }
  char** QtArgv() { return qt_argv_; }

 private:
  std::vector<std::string> args_;
  char empty_[1] = {'\0'};
  int qt_argc_ = 1;
  char* qt_argv_[2];
};

}  // namespace nc16
