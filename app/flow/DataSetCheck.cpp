#include "app/flow/DataSetCheck.h"

#include <new>

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

template <class OnMatch>
void DataSetCheck::ForEra(int year, const char* select, OnMatch on_match) {
  // The connection is pointed at the common folder again for every look-up, as the list's
  // period column asks for two look-ups per row; a failure has shown its message.
  if (!OpenCommonDatabase(info_.CommonDataDir)) return;
  CloseOnExit closer{qryWork2};
  Guarded([&] {
    qryWork2.SQL() = {select, "FROM \"mGengo.db\" Mgengo"};
    qryWork2.Open();
    // No order clause: the table's own order decides which era a shared year belongs to.
    for (qryWork2.First(); !qryWork2.Eof(); qryWork2.Next()) {
      int start = qryWork2.FieldByName("StartNen").AsInteger();
      int end = qryWork2.FieldByName("EndNen").AsInteger();
      if (start <= year && (end <= 0 || year <= end)) {
        on_match();
        break;
      }
    }
    return true;
  });
}

int DataSetCheck::GetEraYear(int year) {
  int result = 0;
  ForEra(year, "SELECT Mgengo.SearchKey, Mgengo.StartNen, Mgengo.EndNen, Mgengo.HoseiNen",
         [&] { result = year - qryWork2.FieldByName("HoseiNen").AsInteger(); });
  return result;
}

std::string DataSetCheck::GetEraName(int year) {
  std::string result;
  ForEra(year, "SELECT Mgengo.SearchKey, Mgengo.GengoMei, Mgengo.StartNen, Mgengo.EndNen",
         [&] { result = qryWork2.FieldByName("GengoMei").AsString(); });
  return result;
}

}  // namespace nc16
