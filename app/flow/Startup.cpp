#include "app/flow/Startup.h"

#include <array>
#include <charconv>
#include <cstdio>

#include "document/ArgUtils.h"
#include "document/Texts.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

// Whole text as a 32-bit integer (an optional sign, decimal digits); empty text is 0.
template <class Int>
std::optional<Int> ToInteger(std::string_view text) {
  if (text.empty()) return Int{0};
  int64_t value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value < INT32_MIN || value > UINT32_MAX) return std::nullopt;
  return static_cast<Int>(value);
}

}  // namespace

std::span<const std::string_view> SiblingProductMutexes() {
  // The payroll family's programs, each known by the mutex it creates while it runs.
  static constexpr std::array<std::string_view, 22> kNames{
      "MILVEKKYUYO16", "MILVEKKYUYO16_SETUP", "MILVEKKYUYO16_MENU", "MVKKYUYO16",   "MVKSYOYO16",
      "MVKNENCHO16",   "MVKGENSEN16",         "MVKSYAHO16",         "MVKROUHO16",   "MVKSANTEI16",
      "MVKGEPPEN16",   "MVKKOUSIN16",         "MVKFURIKOMI16",      "MVKMEISAI16",  "MVKTOUKEI16",
      "MVKMYNUMBER16", "MVKCONVERT16",        "MVKBACKUP16",        "MVKRESTORE16", "MVKKAISYA16",
      "MVKSYAIN16",    "MVKDATAKANRI16",
  };
  return kNames;
}

std::optional<std::string_view> FindRunningSibling() {
  for (std::string_view name : SiblingProductMutexes()) {
    if (platform::NamedMutex held = platform::NamedMutex::Open(name)) return name;
  }
  return std::nullopt;
}

std::optional<LaunchArgument> ParseLaunchArgument(std::string_view argument) {
  LaunchArgument a;
  auto window = ToInteger<uint32_t>(GetField(argument, ",", 1));
  auto message = ToInteger<uint32_t>(GetField(argument, ",", 2));
  auto wparam = ToInteger<int32_t>(GetField(argument, ",", 3));
  if (!window || !message || !wparam) return std::nullopt;
  a.LauncherWindow = *window;
  a.LauncherMessage = *message;
  a.LauncherWParam = *wparam;
  a.LaunchFile = GetField(argument, ",", 4);
  a.LaunchKey = GetField(argument, ",", 5);
  return a;
}

ProgramClaim ClaimProgram() {
  ProgramClaim claim;
  if (platform::NamedMutex::Open(kOwnMutexName)) {
    claim.AlreadyRunning = true;
    claim.Refusal = Message{MessageKind::kError, texts::AlreadyRunning()};
  } else if (FindRunningSibling()) {
    claim.Refusal = Message{MessageKind::kWarning, texts::SiblingRunning()};
  } else {
    try {
      claim.Mutex = platform::NamedMutex::Create(kOwnMutexName);
    } catch (const EOSError& e) {
      claim.Refusal = Message{MessageKind::kError, e.what() + texts::ForcedEnd()};
    }
  }
  return claim;
}

std::optional<std::string> CheckInstallation(const TDataExportInfo& info) {
  if (info.TargetProductName.empty()) return texts::SettingsNotInitialised();
  // A settings file that cannot be read (its message names it and the cause), or whose name is
  // ambiguous (two entries differing only in letter case: the message names both), stops the
  // program.
  const std::string& stop = texts::ForcedEnd();
  if (!info.SettingsError.empty()) return info.SettingsError + stop;
  try {
    const std::string initdat = info.DataRoot + std::string(platform::kPathSeparator) + "Initdat";
    if (!platform::DirectoryExists(platform::ResolvePathCase(initdat)))
      return texts::SourceNotInstalled() + stop;
  } catch (const EOSError& e) {
    return e.what() + stop;
  }

  std::string required_digits;
  for (char c : info.MinSourceVersion)
    if (c != '.') required_digits += c;
  // A version text that is not a number counts as 0: older than any supported version.
  int64_t required = 0, installed = 0;
  std::from_chars(required_digits.data(), required_digits.data() + required_digits.size(),
                  required);
  std::from_chars(info.SourceVersion.data(), info.SourceVersion.data() + info.SourceVersion.size(),
                  installed);
  if (required <= installed) return std::nullopt;

  auto number = [&](size_t from, size_t count) {
    int64_t v = 0;
    std::string_view part = std::string_view(info.MinSourceVersion)
                                .substr(std::min(from, info.MinSourceVersion.size()), count);
    std::from_chars(part.data(), part.data() + part.size(), v);
    return std::to_string(v);
  };
  return texts::SourceTooOld(info.MinSourceVersion.substr(0, 1) + "." + number(1, 2) + "." +
                             number(3, 3));
}

std::optional<std::string> CheckInstallation(Remembering remembering) {
  TDataExportInfo info("", "", 0, remembering);
  info.DiscardSelection();
  return CheckInstallation(info);
}

}  // namespace nc16
