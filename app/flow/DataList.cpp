#include "app/flow/DataList.h"

#include <cstdio>
#include <new>

#include "app/flow/Connection.h"
#include "app/flow/HolderFolder.h"
#include "document/Texts.h"
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
  static const std::string name = "\xFF" + texts::UnusedRow();
  return name;
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

std::vector<DataListRow> LoadDataList(db::TDatabase& connection, EraLookup& eras,
                                      const std::string& common_data_dir,
                                      std::string_view SortField, std::string_view Direction,
                                      Messages& shown) {
  std::vector<DataListRow> rows;
  const std::string list_folder = Folder(common_data_dir, "db");
  db::TQuery query;
  auto report = [&](MessageKind kind, std::string text) {
    shown.push_back({kind, std::move(text)});
  };
  try {
    PointConnection(connection, query, "Kyuyo2", list_folder);
  } catch (const db::EDatabaseError& e) {
    report(MessageKind::kError, texts::DatabaseError(e.what()));
    return rows;
  } catch (const std::bad_alloc& e) {
    report(MessageKind::kError, texts::OutOfMemory(e.what()));
    return rows;
  }

  std::vector<ListRecord> records;
  try {
    // A copy from Windows may have only "DB" for the list's "db"; the table itself is found in
    // any letter case, and a missing one is made in the folder found.
    if (!platform::FileExists(platform::ResolvePathCase(Folder(list_folder, "mDataList.db"))))
      CreateDataListTable("Kyuyo2", common_data_dir);
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
    report(MessageKind::kError, texts::DatabaseError(e.what()));
  } catch (const EOSError& e) {
    report(MessageKind::kError, texts::DatabaseError(e.what()));
  } catch (const std::bad_alloc& e) {
    report(MessageKind::kError, texts::OutOfMemory(e.what()));
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

  // The era table is read once for the whole list, and only when a row needs it.
  const EraTable* era_table = nullptr;
  bool eras_read = false;
  rows.reserve(order.size());
  for (const ListRecord* r : order) {
    DataListRow row;
    if (r->content != UnusedDataName()) {
      if (!eras_read) era_table = eras.Table(common_data_dir, shown);
      eras_read = true;
      const std::string era = era_table ? era_table->EraName(r->year) : std::string();
      const int era_year = era_table ? era_table->EraYear(r->year) : 0;
      row.Name = r->content;
      row.Period = era + " " + Two(era_year) + SJ("年 ") + Two(r->month) + SJ("月／") +
                   Two(r->payment) + SJ("回");
    } else {
      row.Name = texts::UnusedRow();
    }
    // An ambiguous name on the way keeps the Holder; the data-set check names the two entries.
    try {
      row.Folder = LocalHolderFolder(r->holder, common_data_dir);
    } catch (const EOSError&) {
      row.Folder = r->holder;
    }
    row.ShownPath = ShortenedPath(row.Folder, common_data_dir);
    row.Holder = r->holder;
    row.Used = r->content != UnusedDataName();
    row.Year = r->year;
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace nc16
