#include "app/flow/DataSetCheck.h"

#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include "app/flow/DataList.h"
#include "external/vnprotect/VnProtect.h"
#include "extract/uNC16.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {
namespace {

std::string Join(const std::string& folder, std::string_view name) {
  return folder + std::string(platform::kPathSeparator) + std::string(name);
}

// Closes a query on every way out.
struct CloseOnExit {
  db::TQuery& query;
  ~CloseOnExit() {
    if (query.Active()) query.Close();
  }
};

}  // namespace

DataSetCheck::DataSetCheck(TDataExportInfo& info, MessageBoxes& boxes)
    : info_(info), boxes_(boxes) {}

DataSetCheck::~DataSetCheck() {
  for (db::TQuery* q : {&qryWork1, &qryWork2})
    if (q->Active()) q->Close();
  if (dbDatabase1.Connected()) dbDatabase1.Close();
  if (dbDatabase2.Connected()) dbDatabase2.Close();
}

void DataSetCheck::ReportDatabaseError(const std::exception& e) {
  boxes_.Show(MessageKind::kError, SJ("ﾃﾞｰﾀﾍﾞｰｽ ｴﾗｰ\r") + e.what() + "\r\r");
}

void DataSetCheck::ReportOutOfMemory(const std::exception& e) {
  boxes_.Show(MessageKind::kError, SJ("ｱｳﾄｵﾌﾞﾒﾓﾘ\r") + e.what() + "\r\r");
}

template <class Body>
bool DataSetCheck::Guarded(Body&& body) {
  try {
    return body();
  } catch (const db::EDatabaseError& e) {
    ReportDatabaseError(e);
  } catch (const std::bad_alloc& e) {
    ReportOutOfMemory(e);
  }
  return false;
}

bool DataSetCheck::Connect(db::TDatabase& database, db::TQuery& query, const char* name,
                           const std::string& folder) {
  return Guarded([&] {
    if (query.Active()) query.Close();
    if (database.Connected()) database.Close();
    database.SetDatabaseName(name);
    database.SetDriverName("STANDARD");
    database.Params() = {"PATH=" + folder, "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"};
    database.Open();
    query.SetDatabaseName(name);
    return database.Connected();
  });
}

bool DataSetCheck::OpenDataDatabase(const std::string& folder) {
  return Connect(dbDatabase1, qryWork1, "Kyuyo2", folder);
}

bool DataSetCheck::OpenCommonDatabase(const std::string& folder) {
  return Connect(dbDatabase2, qryWork2, "K2Holder", folder);
}

bool DataSetCheck::HasCompanyTable(const std::string& folder) {
  return platform::FileExists(platform::ResolvePathCase(Join(folder, "mKaisya.db")));
}

bool DataSetCheck::CheckSelectedData(const std::string& holder) {
  MyNumberInUse = false;
  MyNumberPassword.clear();
  DataVersion = 0;
  info_.DataKey = holder;
  std::string folder;
  bool has_company = false;
  try {
    folder = LocalHolderFolder(holder, info_.CommonDataDir);
    has_company = HasCompanyTable(folder);
  } catch (const EOSError& e) {
    boxes_.Show(MessageKind::kError, std::string(e.what()) + "\r\r");
    return false;
  }
  if (!has_company) {
    boxes_.Show(MessageKind::kWarning,
                SJ("このﾃﾞｰﾀﾌｫﾙﾀﾞには給与ﾃﾞｰﾀがありません。\rもう一度、選び直してください。\r"));
    return false;
  }
  if (!OpenDataDatabase(folder)) return false;
  info_.DataFolder = folder;

  CloseOnExit closer{qryWork1};
  return Guarded([&] {
    qryWork1.SQL() = {"SELECT Mkaisya.KaisyaMei,Mkaisya.SyoriNen,Mkaisya.Version",
                      "FROM \"mKaisya.db\" Mkaisya"};
    qryWork1.Open();
    qryWork1.First();
    const int version = qryWork1.FieldByName("Version").AsInteger();
    DataVersion = version;
    if (version < data_version::kExportable) {
      boxes_.Show(MessageKind::kWarning,
                  SJ("このﾃﾞｰﾀは連動できません。\r最新版のミルベク給与でコンバート後、もう一度、"
                     "選び直してください。\r"));
      return false;
    }
    const int year = qryWork1.FieldByName("SyoriNen").AsInteger();
    info_.CompanyName = qryWork1.FieldByName("KaisyaMei").AsString();
    info_.FilingYear = GetEraYear(year);
    info_.EraName = GetEraName(year);
    info_.Mode = "NORMAL";

    if (version >= data_version::kMyNumber) {
      qryWork1.Close();
      qryWork1.SQL() = {"SELECT Mkaisya.MNUse, Mkaisya.MNPW", "FROM \"mKaisya.db\" Mkaisya"};
      qryWork1.Open();
      qryWork1.First();
      MyNumberInUse = qryWork1.FieldByName("MNUse").AsBoolean();
      std::string stored = qryWork1.FieldByName("MNPW").AsString();
      MyNumberPassword = stored.empty() ? std::string() : DecodeStoredValue(stored);
    }
    return true;
  });
}

namespace {

// One field of an era row as a lookup reads it: the value it converts to, or the error its
// conversion raises.
struct EraCell {
  int number = 0;
  std::string text;
  std::optional<std::string> error;

  template <class Read>
  static EraCell Of(Read read) {
    EraCell cell;
    try {
      read(cell);
    } catch (const db::EDatabaseError& e) {
      cell.error = e.what();
    }
    return cell;
  }
  const EraCell& Checked() const {
    if (error) throw db::EDatabaseError(*error);
    return *this;
  }
};

struct EraRow {
  EraCell start, end, value;
};

// The rows of the era table as one lookup query reads them, in the table's order, for the file
// version of `stamp`. The data list asks for two lookups per row and each data-set check for two
// more: the rows are read again only when the file has changed.
struct EraRows {
  db::TableStamp stamp;
  std::vector<EraRow> rows;
};

struct EraCache {
  std::mutex mutex;
  std::map<std::pair<std::string, std::string>, EraRows> by_query;  // by folder and SELECT
};

EraCache& TheEraCache() {
  static EraCache cache;
  return cache;
}

}  // namespace

std::optional<EraValue> DataSetCheck::FindEra(int year, const char* select, const char* value_field,
                                              bool text) {
  const std::string& folder = info_.CommonDataDir;
  const db::TableStamp stamp = db::StampOfTable(folder, "mGengo.db");
  auto key = std::make_pair(folder, std::string(select));
  EraRows found;
  bool cached = false;
  if (stamp.found && stamp.settled) {
    EraCache& cache = TheEraCache();
    std::lock_guard lock(cache.mutex);
    const auto it = cache.by_query.find(key);
    if (it != cache.by_query.end() && it->second.stamp == stamp) {
      found = it->second;
      cached = true;
    }
  }

  // The connection is pointed at the common folder again for every look-up that reads the
  // table; a failure has shown its message.
  if (!cached && !OpenCommonDatabase(folder)) return std::nullopt;
  CloseOnExit closer{qryWork2};
  std::optional<EraValue> result;
  Guarded([&] {
    if (!cached) {
      qryWork2.SQL() = {select, "FROM \"mGengo.db\" Mgengo"};
      qryWork2.Open();
      for (qryWork2.First(); !qryWork2.Eof(); qryWork2.Next()) {
        EraRow row;
        row.start = EraCell::Of(
            [&](EraCell& c) { c.number = qryWork2.FieldByName("StartNen").AsInteger(); });
        row.end =
            EraCell::Of([&](EraCell& c) { c.number = qryWork2.FieldByName("EndNen").AsInteger(); });
        row.value = EraCell::Of([&](EraCell& c) {
          if (text) {
            c.text = qryWork2.FieldByName(value_field).AsString();
          } else {
            c.number = qryWork2.FieldByName(value_field).AsInteger();
          }
        });
        found.rows.push_back(std::move(row));
      }
      if (stamp.found && stamp.settled) {
        found.stamp = stamp;
        EraCache& cache = TheEraCache();
        std::lock_guard lock(cache.mutex);
        if (cache.by_query.size() >= 16) cache.by_query.clear();
        cache.by_query[key] = found;
      }
    }
    // No order clause: the table's own order decides which era a shared year belongs to.
    for (const EraRow& row : found.rows) {
      const int start = row.start.Checked().number;
      const int end = row.end.Checked().number;
      if (start <= year && (end <= 0 || year <= end)) {
        const EraCell& value = row.value.Checked();
        result = EraValue{value.number, value.text};
        break;
      }
    }
    return true;
  });
  return result;
}

int DataSetCheck::GetEraYear(int year) {
  const auto era =
      FindEra(year, "SELECT Mgengo.SearchKey, Mgengo.StartNen, Mgengo.EndNen, Mgengo.HoseiNen",
              "HoseiNen", false);
  return era ? year - era->number : 0;
}

std::string DataSetCheck::GetEraName(int year) {
  const auto era =
      FindEra(year, "SELECT Mgengo.SearchKey, Mgengo.GengoMei, Mgengo.StartNen, Mgengo.EndNen",
              "GengoMei", true);
  return era ? era->text : std::string();
}

}  // namespace nc16
