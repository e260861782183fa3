#include "app/flow/DataList.h"

#include <cstdio>
#include <new>

#include "external/db/Db.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

std::string Folder(const std::string& parent, std::string_view child) {
  return parent + std::string(platform::kPathSeparator) + std::string(child);
}

// "%2d": right-aligned in two places.
std::string Two(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%2d", value);
  return buffer;
}

// ASCII letters folded, the bytes of double-byte characters kept.
std::string FoldAscii(std::string_view s) {
  std::string out(s);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (IsLeadByte(c))
      ++i;
    else if (c >= 'A' && c <= 'Z')
      out[i] = static_cast<char>(c + 32);
  }
  return out;
}

// The components of a path cut at `separators`; a trail byte that looks like "\" cuts nothing.
std::vector<std::string> Components(std::string_view path, std::string_view separators) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < path.size(); ++i) {
    const auto c = static_cast<unsigned char>(path[i]);
    if (IsLeadByte(c) && i + 1 < path.size()) {
      parts.back() += path.substr(i, 2);
      ++i;
    } else if (separators.find(path[i]) != std::string_view::npos) {
      parts.emplace_back();
    } else {
      parts.back() += path[i];
    }
  }
  return parts;
}

// "C:\..." or "\\server\...": a drive letter and colon, or two leading backslashes.
bool IsWindowsPath(std::string_view path) {
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive || path.starts_with("\\\\");
}

struct ListRecord {
  std::string content;
  int year = 0;
  int month = 0;
  int payment = 0;
  std::string holder;
};

}  // namespace

const std::string& UnusedDataName() {
  static const std::string name = "\xFF" + SJ("未使用");
  return name;
}

std::string ShortenedPath(const std::string& holder, const std::string& common_data_dir) {
  if (holder.find(common_data_dir) == std::string::npos) return holder;
  return "~" + holder.substr(std::min(common_data_dir.size(), holder.size()));
}

std::string LocalHolderFolder(const std::string& holder, const std::string& common_data_dir) {
  // Windows opens such paths as they are.
  if (platform::kPathSeparator == "\\" || !IsWindowsPath(holder)) return holder;
  std::string anchor;
  for (const std::string& part : Components(common_data_dir, platform::kPathSeparator))
    if (!part.empty()) anchor = FoldAscii(part);
  const std::vector<std::string> parts = Components(holder, "\\/");
  size_t last = parts.size();
  for (size_t i = 0; i < parts.size(); ++i)
    if (!anchor.empty() && FoldAscii(parts[i]) == anchor) last = i;
  if (last == parts.size()) return holder;

  std::string mapped = common_data_dir;
  for (size_t i = last + 1; i < parts.size(); ++i) {
    if (parts[i].empty()) continue;  // "a\\b" and a trailing "\" as Windows reads them
    if (parts[i] == "." || parts[i] == "..") return holder;
    mapped += std::string(platform::kPathSeparator) + parts[i];
  }
  // The resolved path differs only in letter case, so its tail follows the common folder's text.
  const std::string resolved = platform::ResolvePathCase(mapped);
  if (!platform::DirectoryExists(resolved) || resolved.size() != mapped.size()) return holder;
  return common_data_dir + resolved.substr(common_data_dir.size());
}

void CreateDataListTable(const std::string& connection, const std::string& common_data_dir) {
  using db::TFieldType;
  db::TTable table;
  table.SetDatabaseName(connection);
  table.SetTableName("mDataList.db");
  // clang-format off
  table.FieldDefs() = {
      {"SearchKey",  TFieldType::ftInteger, 0,   false},
      {"KaisyaCode", TFieldType::ftString,  4,   false},
      {"OPcode",     TFieldType::ftString,  4,   false},
      {"Content",    TFieldType::ftString,  40,  false},
      {"Password1",  TFieldType::ftString,  10,  false},
      {"GengoKubun", TFieldType::ftInteger, 0,   false},
      {"SyoriNen",   TFieldType::ftInteger, 0,   false},
      {"SyoriTuki",  TFieldType::ftInteger, 0,   false},
      {"SyoriKai",   TFieldType::ftInteger, 0,   false},
      {"DatKbn",     TFieldType::ftInteger, 0,   false},
      {"MailKbn",    TFieldType::ftBoolean, 0,   false},
      {"SyoninKbn",  TFieldType::ftBoolean, 0,   false},
      {"Soujyu1",    TFieldType::ftInteger, 0,   false},
      {"Soujyu2",    TFieldType::ftInteger, 0,   false},
      {"Soujyu3",    TFieldType::ftInteger, 0,   false},
      {"Soujyu4",    TFieldType::ftInteger, 0,   false},
      {"Holder",     TFieldType::ftString,  255, false},
      {"HolderNo",   TFieldType::ftInteger, 0,   false},
      {"NendoNo",    TFieldType::ftString,  3,   false},
  };
  table.IndexDefs() = {
      {"PrimaryIndex", "SearchKey",         db::ixPrimary | db::ixUnique},
      {"CoCodeIdx",    "KaisyaCode",        db::ixCaseInsensitive},
      {"ShameiIdx",    "Content",           db::ixCaseInsensitive},
      {"Password1Idx", "Password1",         db::ixCaseInsensitive},
      {"DatKbnIdx",    "DatKbn",            db::ixCaseInsensitive},
      {"HolderIdx",    "Holder",            db::ixCaseInsensitive},
      {"SortIdx",      "Content;SearchKey", db::ixCaseInsensitive},
  };
  // clang-format on
  table.CreateTable();
  table.Open();
  for (int i = 1; i <= 200; ++i) {
    char dat[16];
    std::snprintf(dat, sizeof dat, "DAT%.3d", i);
    table.Append();
    table.FieldByName("SearchKey").SetAsInteger(i);
    table.FieldByName("KaisyaCode").SetAsString("");
    table.FieldByName("OPcode").SetAsString("");
    table.FieldByName("Content").SetAsString(UnusedDataName());
    table.FieldByName("Password1").SetAsString("");
    table.FieldByName("GengoKubun").SetAsInteger(0);
    table.FieldByName("SyoriNen").SetAsInteger(0);
    table.FieldByName("SyoriTuki").SetAsInteger(0);
    table.FieldByName("SyoriKai").SetAsInteger(0);
    table.FieldByName("DatKbn").SetAsInteger(-1);
    table.FieldByName("MailKbn").SetAsBoolean(false);
    table.FieldByName("SyoninKbn").SetAsBoolean(false);
    for (const char* name : {"Soujyu1", "Soujyu2", "Soujyu3", "Soujyu4"})
      table.FieldByName(name).SetAsInteger(0);
    table.FieldByName("Holder").SetAsString(Folder(Folder(common_data_dir, "DB"), dat));
    table.FieldByName("HolderNo").SetAsInteger(i);
    table.FieldByName("NendoNo").SetAsString("");
    table.Post();
  }
  table.Close();
}

std::vector<DataListRow> LoadDataList(DataSetCheck& check, const TDataExportInfo& info,
                                      MessageBoxes& boxes, std::string_view SortField,
                                      std::string_view Direction) {
  std::vector<DataListRow> rows;
  const std::string list_folder = Folder(info.CommonDataDir, "db");
  if (!check.OpenDataDatabase(list_folder)) return rows;

  std::vector<ListRecord> records;
  db::TQuery& query = check.qryWork1;
  try {
    // A copy from Windows may have only "DB" for the list's "db"; the table itself is found in
    // any letter case, and a missing one is made in the folder found.
    if (!platform::FileExists(platform::ResolvePathCase(Folder(list_folder, "mDataList.db"))))
      CreateDataListTable("Kyuyo2", info.CommonDataDir);
    if (query.Active()) query.Close();
    std::string order = SortField == "Content,Holder" && Direction == "DESC"
                            ? "ORDER BY Content DESC, Holder ASC"
                            : "ORDER BY " + std::string(SortField) + " " + std::string(Direction);
    query.SQL() = {
        "SELECT SearchKey,Content,OPcode,SyoriNen,SyoriTuki,SyoriKai,Holder,NendoNo "
        "FROM mDataList.DB",
        "WHERE Holder <> ''", order};
    query.Open();
    for (query.First(); !query.Eof(); query.Next()) {
      records.push_back(
          {query.FieldByName("Content").AsString(), query.FieldByName("SyoriNen").AsInteger(),
           query.FieldByName("SyoriTuki").AsInteger(), query.FieldByName("SyoriKai").AsInteger(),
           query.FieldByName("Holder").AsString()});
    }
  } catch (const db::EDatabaseError& e) {
    boxes.Show(MessageKind::kError, SJ("ﾃﾞｰﾀﾍﾞｰｽ ｴﾗｰ\r") + e.what() + "\r\r");
  } catch (const EOSError& e) {
    boxes.Show(MessageKind::kError, SJ("ﾃﾞｰﾀﾍﾞｰｽ ｴﾗｰ\r") + e.what() + "\r\r");
  } catch (const std::bad_alloc& e) {
    boxes.Show(MessageKind::kError, SJ("ｱｳﾄｵﾌﾞﾒﾓﾘ\r") + e.what() + "\r\r");
  }
  if (query.Active()) query.Close();

  // Sorted by name, the rows without a name go to the far end from the named ones: after them
  // ascending (the query puts them first), before them descending (the query puts them last).
  std::vector<const ListRecord*> order;
  order.reserve(records.size());
  if (SortField == "Content,Holder" && (Direction == "ASC" || Direction == "DESC")) {
    const bool named_first = Direction == "ASC";
    for (int pass = 0; pass < 2; ++pass) {
      const bool want_named = (pass == 0) == named_first;
      for (const ListRecord& r : records)
        if (!r.content.empty() == want_named) order.push_back(&r);
    }
  } else {
    for (const ListRecord& r : records)
      order.push_back(&r);
  }

  rows.reserve(order.size());
  for (const ListRecord* r : order) {
    DataListRow row;
    if (r->content != UnusedDataName()) {
      row.Name = r->content;
      row.Period = check.GetEraName(r->year) + " " + Two(check.GetEraYear(r->year)) + SJ("年 ") +
                   Two(r->month) + SJ("月／") + Two(r->payment) + SJ("回");
    } else {
      row.Name = SJ("未使用");
    }
    // An ambiguous name on the way keeps the Holder; the data-set check names the two entries.
    try {
      row.Folder = LocalHolderFolder(r->holder, info.CommonDataDir);
    } catch (const EOSError&) {
      row.Folder = r->holder;
    }
    row.ShownPath = ShortenedPath(row.Folder, info.CommonDataDir);
    row.Holder = r->holder;
    row.Used = r->content != UnusedDataName();
    row.Year = r->year;
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace nc16
