#pragma once
// The check of a chosen data set, as the wizard's data-set page runs it on Next and every export
// runs it before it writes: the folder must hold a company table of a data version that can be
// exported; the check fills the company, year and mode of the export settings and reads the
// company's My Number settings. Its messages come back as values, for the caller to show.

#include <string>

#include "app/flow/EraTable.h"
#include "document/DataExportInfo.h"
#include "external/db/Db.h"
#include "platform/MessageBox.h"

namespace nc16 {

class DataSetCheck {
 public:
  // `info` must outlive the object.
  explicit DataSetCheck(TDataExportInfo& info);
  ~DataSetCheck() { Disconnect(); }
  DataSetCheck(const DataSetCheck&) = delete;
  DataSetCheck& operator=(const DataSetCheck&) = delete;

  // Whether the folder holds the company table mKaisya.db, its names in any letter case.
  // EOSError when a name is ambiguous.
  static bool HasCompanyTable(const std::string& folder);

  // Checks the data set `holder` (a data-list Holder or a folder): its folder on this system
  // (LocalHolderFolder) must hold a company table of an exportable data version. DataKey :=
  // `holder` as given; DataFolder := that folder. Fills CompanyName, FilingYear, EraName and Mode
  // of the export settings and reads the company's My Number settings. False when the data set
  // is refused; the warning or error that says why is added to `shown`.
  bool CheckSelectedData(const std::string& holder, Messages& shown);

  // The company's My Number use and decoded management password, as the last check found them.
  // Every check starts from "not in use, no password", so that the settings of one company
  // never carry over to another.
  bool MyNumberInUse = false;
  std::string MyNumberPassword;
  // The company's data version as the last check read it; 0 when it found no company table.
  int DataVersion = 0;

  // The era year and era name of a Western year from the era table of CommonDataDir; 0 and
  // empty when no era matches or the table cannot be read (then its error report is added).
  int GetEraYear(int year, Messages& shown);
  std::string GetEraName(int year, Messages& shown);
  // The era table, as the data list reads it too.
  EraLookup& Eras() { return eras_; }
  // Closes the check's connections ("Kyuyo2", "K2Holder"); the next use opens them again.
  void Disconnect();

  // "Kyuyo2": pointed at the checked data folder; the data list points it at the list's folder.
  db::TDatabase dbDatabase1;
  db::TQuery qryWork1;

 private:
  TDataExportInfo& info_;
  EraLookup eras_;  // "K2Holder"
};

}  // namespace nc16
