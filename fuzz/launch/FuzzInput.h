#pragma once
// What the launch-argument fuzzer does with one input, shared with the regression test that
// replays kept inputs in the normal build. The input is the argument a launcher passes
// ("window,message,wParam,file,key"): it is parsed as start-up parses it and its key decoded as
// the output step decodes it. Every input must end cleanly, and the decoding keeps its size
// bounds: every whole group of four characters gives one to three bytes.

#include <string>
#include <string_view>

#include "app/flow/Startup.h"
#include "document/ArgUtils.h"
#include "document/xPzConv.h"
#include "fuzz/FuzzCheck.h"

namespace nc16::launch::fuzz {

inline constexpr size_t kMaxInput = 64 * 1024;

inline void RunInput(std::string_view data) {
  if (data.size() > kMaxInput) return;
  for (int i = 0; i <= 6; ++i)
    (void)GetField(data, ",", i);
  const auto parsed = ParseLaunchArgument(data);
  // Base64 keys arrive on their own too (nc16 decrypt --launcher-key).
  const std::string key = parsed ? parsed->LaunchKey : std::string(data);
  const std::string bytes = TxPzConv().DecodeBase64(key);
  const size_t groups = key.size() / 4;
  nc16::fuzz::Require(bytes.size() >= groups && bytes.size() <= 3 * groups,
                      "one to three bytes for each group of four");
  if (parsed) nc16::fuzz::Require(parsed->LaunchFile == GetField(data, ",", 4), "file field");
}

}  // namespace nc16::launch::fuzz
