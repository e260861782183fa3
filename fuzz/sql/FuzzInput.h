#pragma once
// What the SQL fuzzer does with one input, shared with the regression test that replays kept
// inputs in the normal build. The input is a Local SQL statement: its translation either
// succeeds or raises EDatabaseError, and every table it names maps to the SQLite name of its
// file.

#include <string>
#include <string_view>

#include "external/db/Db.h"
#include "external/db/SqlTranslate.h"
#include "fuzz/FuzzCheck.h"

namespace nc16::db::fuzz {

inline constexpr size_t kMaxInput = 64 * 1024;

inline void RunInput(std::string_view data) {
  if (data.size() > kMaxInput) return;
  nc16::fuzz::Require(detail::FoldCaseCp932(data).size() == data.size(), "folding keeps sizes");
  try {
    const detail::TranslatedSql t = detail::TranslateLocalSql(data);
    for (const detail::TableRef& ref : t.tables) {
      nc16::fuzz::Require(ref.sql_name == detail::SqlTableName(ref.file), "table names agree");
      (void)detail::TableFileName(ref.file);
    }
  } catch (const EDatabaseError&) {
  }
}

}  // namespace nc16::db::fuzz
