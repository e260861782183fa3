// nc16 pxdump: a Paradox table as tab-separated UTF-8 text, for looking at tables and for
// comparing our reader with others.

#include <iostream>
#include <string>

#include "external/paradox/ParadoxTable.h"
#include "external/paradox/ValueText.h"
#include "platform/Cp932.h"
#include "tools/nc16/CliUtil.h"
#include "tools/nc16/CmdPxdumpSql.h"
#include "tools/nc16/Commands.h"

namespace nc16::cli {

int RunPxdump(const Options& opts) {
  if (auto sql = opts.Value("sql")) {
    if (!opts.Positional().empty()) return UsageError("pxdump --sql takes no table file");
    return RunPxdumpSql(opts.Value("folder").value_or("."), *sql);
  }
  if (opts.Positional().size() != 1) return UsageError("pxdump takes one table file");
  try {
    px::Table table(opts.Positional()[0]);
    int code_page = table.header().code_page;
    if (auto cp = opts.Value("codepage")) {
      try {
        code_page = std::stoi(*cp);
      } catch (const std::exception&) {
        return UsageError("--codepage needs a number");
      }
    }
    const px::TextDecoder decoder(code_page);
    const auto& fields = table.fields();
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
      if (i) line.push_back('\t');
      px::AppendEscaped(line, decoder.ToUtf8(fields[i].name));
    }
    line.push_back('\n');
    std::cout << line;
    table.ForEach([&](const px::Record& r) {
      line.clear();
      for (size_t i = 0; i < fields.size(); ++i) {
        if (i) line.push_back('\t');
        line += px::FormatValueForDump(r.Get(static_cast<int>(i)), fields[i].type, decoder);
      }
      line.push_back('\n');
      std::cout << line;
    });
    std::cout.flush();
    return 0;
  } catch (const px::ParadoxError& e) {
    std::cout.flush();
    PrintMessage(e.what());
    return 1;
  }
}

}  // namespace nc16::cli
