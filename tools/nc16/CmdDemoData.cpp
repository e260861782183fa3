#include <chrono>
#include <cstdio>
#include <iostream>
#include <stdexcept>

#include "platform/Cp932.h"
#include "tools/demo/DemoInstallation.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {
namespace {

bool ParseNumber(const std::optional<std::string>& text, long long& out) {
  if (!text) return true;
  try {
    size_t used = 0;
    out = std::stoll(*text, &used);
    return used == text->size();
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

// Prints the shell settings on stdout, so that eval "$(nc16 demo-data --root DIR)" points the
// programs at the new installation; what people want to read goes to stderr.
int RunDemoData(const Options& opts) {
  if (!opts.Positional().empty()) return UsageError("demo-data takes no positional arguments");
  const auto root = opts.Value("root");
  if (!root) return UsageError("demo-data needs --root DIR");
  demo::DemoOptions options;
  options.root = ExactCp932("--root", *root);
  long long employees = options.employees, version = options.data_version;
  long long seed = static_cast<long long>(options.seed);
  if (!ParseNumber(opts.Value("employees"), employees) || employees < 0 || employees > 1000000)
    return UsageError("--employees takes a number from 0 to 1000000");
  if (!ParseNumber(opts.Value("data-version"), version) || version < demo::kMinDemoDataVersion ||
      version > demo::kMaxDemoDataVersion)
    return UsageError("--data-version takes a number from 20349 to 700005");
  if (!ParseNumber(opts.Value("seed"), seed)) return UsageError("--seed takes a number");
  long long data_sets = 0;
  if (!ParseNumber(opts.Value("data-sets"), data_sets) || data_sets < 0 ||
      data_sets > demo::kMaxExtraDataSets)
    return UsageError("--data-sets takes a number from 0 to 195");
  options.data_sets = static_cast<int>(data_sets);
  options.employees = static_cast<int>(employees);
  options.data_version = static_cast<int>(version);
  options.seed = static_cast<uint64_t>(seed);
  options.replace = opts.Flag("force");
  options.windows_copy = opts.Flag("windows-copy");

  const auto start = std::chrono::steady_clock::now();
  demo::DemoInstallation inst;
  try {
    inst = demo::CreateDemoInstallation(options);
  } catch (const std::exception& e) {
    PrintMessage(SJ("デモデータを作れません: ") + e.what());
    return 1;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::cout << demo::ShellExports(inst) << std::flush;
  std::string info = "# root " + inst.root + "\r# data root (RootDir + MILVEKKYUYO16) " +
                     inst.data_root + "\r# common data folder " + inst.common_data_dir + "\r";
  for (const demo::DemoDataSet& d : inst.data_sets) {
    char line[64];
    std::snprintf(line, sizeof line, "# DAT%.3d version %d, %d employees, ", d.number, d.version,
                  d.employees);
    info += line + d.company + " - " + d.purpose + (d.my_number ? SJ(" - マイナンバー使用") : "") +
            "\r#   " + d.folder + (d.holder != d.folder ? " (Holder " + d.holder + ")" : "") + "\r";
  }
  info += SJ("# マイナンバー管理パスワード: ") + inst.my_number_password + "\r";
  char took[64];
  std::snprintf(took, sizeof took, "# written in %.2f s", seconds);
  info += took;
  PrintMessage(info);
  return 0;
}

}  // namespace nc16::cli
