#include "tools/nc16/CmdPxdumpSql.h"

#include <cmath>
#include <iostream>
#include <string>

#include "external/db/Db.h"
#include "external/db/PxColumns.h"
#include "external/paradox/ValueText.h"
#include "platform/Cp932.h"
#include "tools/nc16/CliUtil.h"

namespace nc16::cli {
namespace {

using db::TFieldType;

// The Paradox type a result column is dumped as, so its values print as the table dump's do.
px::FieldType DumpType(TFieldType t) {
  // BCD comes back as a float (the connections say ENABLE BCD=FALSE); an expression has no type.
  px::FieldType type = db::detail::ParadoxTypeOf(t).value_or(px::FieldType::Alpha);
  return type == px::FieldType::BCD ? px::FieldType::Number : type;
}

px::Value DumpValue(db::TField& f, px::FieldType type) {
  if (f.IsNull()) return std::monostate{};
  constexpr double kMsPerDay = 86400000.0;
  switch (type) {
    case px::FieldType::Short:
    case px::FieldType::Long:
    case px::FieldType::AutoInc:
      return static_cast<int64_t>(std::llround(f.AsFloat()));
    case px::FieldType::Logical:
      return f.AsBoolean();
    case px::FieldType::Number:
    case px::FieldType::Money:
      return f.AsFloat();
    case px::FieldType::Date:
      return px::Date{static_cast<int32_t>(std::floor(f.AsDateTime())) + px::kDaysTo18991230};
    case px::FieldType::Time: {
      const double t = f.AsDateTime();
      return px::Time{static_cast<int32_t>(std::llround((t - std::floor(t)) * kMsPerDay))};
    }
    case px::FieldType::Timestamp:
      return px::Timestamp{std::round(f.AsDateTime() * kMsPerDay) +
                           px::kDaysTo18991230 * kMsPerDay};
    default:
      return f.AsString();
  }
}

}  // namespace

int RunPxdumpSql(std::string_view folder, std::string_view sql) {
  try {
    db::TQuery q;
    q.SetDatabaseName(ExactCp932("--folder", folder));
    q.SQL() = {ExactCp932("--sql", sql)};
    q.Open();
    const px::TextDecoder decoder(932);
    std::vector<px::FieldType> types;
    std::string line;
    for (int i = 0; i < q.FieldCount(); ++i) {
      if (i) line.push_back('\t');
      px::AppendEscaped(line, decoder.ToUtf8(q.Fields(i).FieldName()));
      types.push_back(DumpType(q.Fields(i).DataType()));
    }
    line.push_back('\n');
    std::cout << line;
    for (q.First(); !q.Eof(); q.Next()) {
      line.clear();
      for (int i = 0; i < q.FieldCount(); ++i) {
        if (i) line.push_back('\t');
        const px::FieldType type = types[static_cast<size_t>(i)];
        line += px::FormatValueForDump(DumpValue(q.Fields(i), type), type, decoder);
      }
      line.push_back('\n');
      std::cout << line;
    }
    std::cout.flush();
    return 0;
  } catch (const db::EDatabaseError& e) {
    std::cout.flush();
    PrintMessage(e.what());
    return 1;
  }
}

}  // namespace nc16::cli
