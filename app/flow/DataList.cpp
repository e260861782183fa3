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
    if (!platform::FileExists(Folder(list_folder, "mDataList.db")))
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
    row.ShownPath = ShortenedPath(r->holder, info.CommonDataDir);
    row.Holder = r->holder;
    row.Used = r->content != UnusedDataName();
    row.Year = r->year;
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace nc16
