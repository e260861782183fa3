#include "external/db/SqlTranslate.h"

#include <algorithm>
#include <array>

#include "external/db/Db.h"
#include "external/db/Messages.h"
#include "external/db/NoCase.h"
#include "platform/Cp932.h"

namespace nc16::db::detail {
namespace {

enum class Tok { kIdent, kQuoted, kString, kNumber, kPunct, kEnd };

struct Token {
  Tok kind = Tok::kEnd;
  size_t begin = 0;  // byte span in the statement
  size_t end = 0;
};

bool IsIdentByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c >= 0x80;
}

// Splits the statement into tokens, skipping blanks and comments. Double-byte characters are
// stepped over whole, so a trail byte never ends a quoted name or string.
class Lexer {
 public:
  explicit Lexer(std::string_view s) : s_(s) {}

  Token Next() {
    SkipSpace();
    Token t;
    t.begin = pos_;
    if (pos_ >= s_.size()) {
      t.kind = Tok::kEnd;
      t.end = pos_;
      return t;
    }
    const auto c = static_cast<unsigned char>(s_[pos_]);
    if (c == '"' || c == '\'') {
      t.kind = c == '"' ? Tok::kQuoted : Tok::kString;
      ++pos_;
      while (pos_ < s_.size()) {
        const auto d = static_cast<unsigned char>(s_[pos_]);
        if (IsLeadByte(d) && pos_ + 1 < s_.size()) {
          pos_ += 2;
        } else if (d == c) {
          ++pos_;
          if (pos_ < s_.size() && static_cast<unsigned char>(s_[pos_]) == c) {
            ++pos_;  // doubled quote inside
          } else {
            break;
          }
        } else {
          ++pos_;
        }
      }
    } else if (c >= '0' && c <= '9') {
      t.kind = Tok::kNumber;
      while (pos_ < s_.size() &&
             (IsIdentByte(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '.')) {
        ++pos_;
      }
    } else if (IsIdentByte(c)) {
      t.kind = Tok::kIdent;
      while (pos_ < s_.size() && IsIdentByte(static_cast<unsigned char>(s_[pos_]))) {
        pos_ += IsLeadByte(static_cast<unsigned char>(s_[pos_])) && pos_ + 1 < s_.size() ? 2 : 1;
      }
    } else {
      t.kind = Tok::kPunct;
      ++pos_;
    }
    t.end = pos_;
    return t;
  }

 private:
  void SkipSpace() {
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
        ++pos_;
      } else if (c == '-' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '-') {
        while (pos_ < s_.size() && s_[pos_] != '\n')
          ++pos_;
      } else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '*') {
        const size_t close = s_.find("*/", pos_ + 2);
        pos_ = close == std::string_view::npos ? s_.size() : close + 2;
      } else {
        break;
      }
    }
  }

  std::string_view s_;
  size_t pos_ = 0;
};

// Words that end a table reference instead of being its alias.
bool IsClauseWord(std::string_view w) {
  static constexpr std::array kWords{"on",     "where",  "inner",  "left",    "right",  "full",
                                     "outer",  "join",   "cross",  "natural", "order",  "group",
                                     "having", "union",  "limit",  "using",   "except", "intersect",
                                     "as",     "offset", "window", "values",  "set"};
  return std::any_of(kWords.begin(), kWords.end(),
                     [&](const char* k) { return EqualsNoCase(w, k); });
}

std::string Unquote(std::string_view quoted) {
  const char q = quoted.front();
  std::string out;
  for (size_t i = 1; i + 1 < quoted.size(); ++i) {
    out.push_back(quoted[i]);
    if (quoted[i] == q && i + 2 < quoted.size() && quoted[i + 1] == q) ++i;
  }
  return out;
}

std::string QuoteIdent(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    out.push_back(c);
    if (c == '"') out.push_back('"');
  }
  out.push_back('"');
  return out;
}

bool EndsWithDb(std::string_view s) {
  return s.size() >= 3 && EqualsNoCase(s.substr(s.size() - 3), ".db");
}

}  // namespace

std::string FoldCaseCp932(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c)) {
      ++i;
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c - 'A' + 'a');
    }
  }
  return out;
}

std::string TableFileName(std::string_view name) {
  std::string file(name);
  if (!EndsWithDb(file)) file += ".db";
  return file;
}

std::string SqlTableName(std::string_view file) {
  std::string_view stem = file;
  if (EndsWithDb(stem)) stem.remove_suffix(3);
  return FoldCaseCp932(stem);
}

namespace {

TranslatedSql Translate(std::string_view sql) {
  std::vector<Token> toks;
  for (Lexer lex(sql);;) {
    toks.push_back(lex.Next());
    if (toks.back().kind == Tok::kEnd) break;
  }
  auto text = [&](size_t i) { return sql.substr(toks[i].begin, toks[i].end - toks[i].begin); };
  auto is_word = [&](size_t i, std::string_view w) {
    return toks[i].kind == Tok::kIdent && EqualsNoCase(text(i), w);
  };
  auto is_punct = [&](size_t i, char c) {
    return toks[i].kind == Tok::kPunct && sql[toks[i].begin] == c;
  };

  if (toks.front().kind == Tok::kEnd) throw EDatabaseError(MsgEmptySql());
  if (!is_word(0, "select")) throw EDatabaseError(MsgNotSelect());

  TranslatedSql out;
  size_t copied = 0;  // statement bytes already moved to out.sql
  // Paren depth at which a FROM list is open; commas at that depth separate table references.
  std::vector<int> from_depths;
  int depth = 0;

  auto add_table = [&](std::string file) -> std::string {
    std::string name = SqlTableName(file);
    const bool known = std::any_of(out.tables.begin(), out.tables.end(),
                                   [&](const TableRef& t) { return t.sql_name == name; });
    if (!known) out.tables.push_back({std::move(file), name});
    return name;
  };

  // Rewrites the table reference starting at token i; returns the index after it and its alias.
  auto table_ref = [&](size_t i) -> size_t {
    if (toks[i].kind != Tok::kQuoted && toks[i].kind != Tok::kIdent) return i;
    if (toks[i].kind == Tok::kIdent && IsClauseWord(text(i))) return i;
    std::string file;
    std::string default_alias;
    size_t end = i + 1;
    if (toks[i].kind == Tok::kQuoted) {
      file = Unquote(text(i));
      default_alias = std::string(text(i));  // the quoted spelling, quotes included
    } else {
      file = std::string(text(i));
      default_alias = QuoteIdent(file);  // the stem: mDataList.Holder
      // A bare file name with its extension lexes as name '.' DB.
      if (is_punct(end, '.') && toks[end + 1].kind == Tok::kIdent &&
          EqualsNoCase(text(end + 1), "db") && toks[end].begin == toks[i].end &&
          toks[end + 1].begin == toks[end].end) {
        file += "." + std::string(text(end + 1));
        end += 2;
      }
    }
    const std::string name = add_table(file);
    out.sql.append(sql.substr(copied, toks[i].begin - copied));
    out.sql += QuoteIdent(name);
    copied = toks[end - 1].end;
    const bool has_alias = (toks[end].kind == Tok::kIdent && !IsClauseWord(text(end))) ||
                           toks[end].kind == Tok::kQuoted || is_word(end, "as");
    if (!has_alias) out.sql += " AS " + default_alias;
    return end;
  };

  for (size_t i = 0; toks[i].kind != Tok::kEnd;) {
    if (is_punct(i, '(')) {
      ++depth;
    } else if (is_punct(i, ')')) {
      std::erase(from_depths, depth);
      --depth;
    } else if (is_word(i, "from")) {
      std::erase(from_depths, depth);
      from_depths.push_back(depth);
      i = table_ref(i + 1);
      continue;
    } else if (is_word(i, "join")) {
      i = table_ref(i + 1);
      continue;
    } else if (is_punct(i, ',') && !from_depths.empty() && from_depths.back() == depth) {
      i = table_ref(i + 1);
      continue;
    } else if (toks[i].kind == Tok::kIdent &&
               (is_word(i, "where") || is_word(i, "group") || is_word(i, "order") ||
                is_word(i, "having") || is_word(i, "union") || is_word(i, "limit") ||
                is_word(i, "select"))) {
      // The FROM clause at this depth has ended; later commas separate expressions. (Commas in
      // an ON condition lie inside parentheses, so "JOIN b ON x = y, c" still lists c.)
      std::erase(from_depths, depth);
    }
    ++i;
  }
  out.sql.append(sql.substr(copied));

  // SELECT * FROM <one table> [alias], then no clause that joins, groups, combines or nests, and
  // an order that names no column by its position ("ORDER BY 2" means the second field of "*",
  // but something else once the row number stands in its place).
  if (out.tables.size() == 1 && is_punct(1, '*') && is_word(2, "from")) {
    bool plain = true;
    bool in_from = true;    // a comma there would list the table twice
    bool in_order = false;  // any number there may be a position
    for (size_t i = 3; toks[i].kind != Tok::kEnd && plain; ++i) {
      in_from = in_from && !is_word(i, "where") && !is_word(i, "order") && !is_word(i, "limit");
      in_order = (in_order || is_word(i, "order")) && !is_word(i, "limit");
      plain = plain && !(in_order && toks[i].kind == Tok::kNumber);
      for (const char* w : {"select", "group", "having", "union", "intersect", "except", "window",
                            "join", "natural", "cross", "distinct"}) {
        plain = plain && !is_word(i, w);
      }
      plain = plain && !(in_from && is_punct(i, ','));
    }
    if (plain) out.whole_records_star = toks[1].begin;
  }
  return out;
}

}  // namespace

TranslatedSql TranslateLocalSql(std::string_view sql) {
  // The same few statements come again for every data set of a batch: the last translations of
  // the thread are kept (a statement that cannot be translated raises each time).
  struct Kept {
    std::string text;
    TranslatedSql translated;
  };
  constexpr size_t kKept = 16;
  thread_local std::vector<Kept> kept;
  thread_local size_t next = 0;
  for (const Kept& k : kept) {
    if (k.text == sql) return k.translated;
  }
  TranslatedSql translated = Translate(sql);
  Kept k{std::string(sql), translated};
  if (kept.size() < kKept) {
    kept.push_back(std::move(k));
  } else {
    kept[next] = std::move(k);
    next = (next + 1) % kKept;
  }
  return translated;
}

}  // namespace nc16::db::detail
