#include "app/flow/DataSetCheck.h"

#include <new>

#include "app/flow/Connection.h"
#include "app/flow/HolderFolder.h"
#include "document/Texts.h"
#include "external/vnprotect/VnProtect.h"
#include "extract/uNC16.h"
#include "platform/Platform.h"

namespace nc16 {

DataSetCheck::DataSetCheck(TDataExportInfo& info) : info_(info) {}

void DataSetCheck::Disconnect() {
  if (qryWork1.Active()) qryWork1.Close();
  if (dbDatabase1.Connected()) dbDatabase1.Close();
  eras_.Disconnect();
}

bool DataSetCheck::HasCompanyTable(const std::string& folder) {
  return platform::FileExists(
      platform::ResolvePathCase(folder + std::string(platform::kPathSeparator) + "mKaisya.db"));
}

bool DataSetCheck::CheckSelectedData(const std::string& holder, Messages& shown) {
  MyNumberInUse = false;
  MyNumberPassword.clear();
  DataVersion = 0;
  info_.DataKey = holder;
  std::string folder;
  bool has_company = false;
  try {
    folder = LocalHolderFolder(holder, info_.CommonDataDir);
    // A folder that is there and may not be listed (mode 0000, 0111) has its tables out of
    // reach, whether or not one of them can be seen by its exact name: the user must hear why,
    // not that the folder holds no payroll data.
    if (platform::DirectoryExists(folder)) {
      if (auto cause = platform::UnreadableFolder(folder)) {
        shown.push_back({MessageKind::kWarning, texts::DataFolderUnreadable(*cause)});
        return false;
      }
    }
    has_company = HasCompanyTable(folder);
  } catch (const EOSError& e) {
    shown.push_back({MessageKind::kError, std::string(e.what()) + "\r\r"});
    return false;
  }
  if (!has_company) {
    shown.push_back({MessageKind::kWarning, texts::NoPayrollData()});
    return false;
  }

  QueryCloser closer(qryWork1);
  try {
    PointConnection(dbDatabase1, qryWork1, "Kyuyo2", folder);
    info_.DataFolder = folder;
    qryWork1.SQL() = {"SELECT Mkaisya.KaisyaMei,Mkaisya.SyoriNen,Mkaisya.Version",
                      "FROM \"mKaisya.db\" Mkaisya"};
    qryWork1.Open();
    qryWork1.First();
    const int version = qryWork1.FieldByName("Version").AsInteger();
    DataVersion = version;
    if (version < data_version::kExportable) {
      shown.push_back({MessageKind::kWarning, texts::CannotExportVersion()});
      return false;
    }
    const int year = qryWork1.FieldByName("SyoriNen").AsInteger();
    info_.CompanyName = qryWork1.FieldByName("KaisyaMei").AsString();
    info_.FilingYear = GetEraYear(year, shown);
    info_.EraName = GetEraName(year, shown);
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
  } catch (const db::EDatabaseError& e) {
    shown.push_back({MessageKind::kError, texts::DatabaseError(e.what())});
  } catch (const std::bad_alloc& e) {
    shown.push_back({MessageKind::kError, texts::OutOfMemory(e.what())});
  }
  return false;
}

int DataSetCheck::GetEraYear(int year, Messages& shown) {
  return eras_.EraYear(info_.CommonDataDir, year, shown);
}

std::string DataSetCheck::GetEraName(int year, Messages& shown) {
  return eras_.EraName(info_.CommonDataDir, year, shown);
}

}  // namespace nc16
