#pragma once
// The data-set side of the wizard's second page, without windows: the connections to the data
// list and the era table, the era lookups, and the check of a chosen data folder, which also
// reads the company's My Number settings. The wizard's page shows what this finds; the
// command-line export runs the same check.

#include <optional>
#include <string>

#include "document/DataExportInfo.h"
#include "external/db/Db.h"
#include "platform/MessageBox.h"

namespace nc16 {

// A field of the era table: a number or a text.
struct EraValue {
  int number = 0;
  std::string text;
};

class DataSetCheck {
 public:
  // `info` and `boxes` must outlive the object.
  DataSetCheck(TDataExportInfo& info, MessageBoxes& boxes);
  ~DataSetCheck();
  DataSetCheck(const DataSetCheck&) = delete;
  DataSetCheck& operator=(const DataSetCheck&) = delete;

  // Point the connection "Kyuyo2" (data list, company table) or "K2Holder" (era table) at a
  // folder. A failure is shown as a database error and gives false.
  bool OpenDataDatabase(const std::string& folder);
  bool OpenCommonDatabase(const std::string& folder);

  // Whether the folder holds the company table mKaisya.db, its names in any letter case.
  // EOSError when a name is ambiguous.
  static bool HasCompanyTable(const std::string& folder);

  // Checks the data set `holder` (a data-list Holder or a folder) on leaving the data-set page:
  // its folder on this system (LocalHolderFolder) must hold a company table of an exportable
  // data version. DataKey := `holder` as given; DataFolder := that folder. Fills CompanyName,
  // FilingYear, EraName and Mode of the export settings and reads the company's My Number
  // settings. Shows its own warning or error and returns false when the data set is refused.
  bool CheckSelectedData(const std::string& holder);

  // The company's My Number use and decoded management password, as the last check found them.
  // Every check starts from "not in use, no password", so that the settings of one company
  // never carry over to another.
  bool MyNumberInUse = false;
  std::string MyNumberPassword;
  // The company's data version as the last check read it; 0 when it found no company table.
  int DataVersion = 0;

  // The era year and era name of a Western year from the era table of CommonDataDir; 0 and
  // empty when no era matches or the table cannot be read (then a database error is shown).
  int GetEraYear(int year);
  std::string GetEraName(int year);

  db::TDatabase dbDatabase1;  // "Kyuyo2"
  db::TDatabase dbDatabase2;  // "K2Holder"
  db::TQuery qryWork1;
  db::TQuery qryWork2;

 private:
  bool Connect(db::TDatabase& database, db::TQuery& query, const char* name,
               const std::string& folder);
  // Runs the era query `select` (or reuses its rows while the era table is unchanged) and gives
  // field `value_field` of the first era that holds `year`; nullopt when none does or the table
  // cannot be read (then the error has been shown).
  std::optional<EraValue> FindEra(int year, const char* select, const char* value_field, bool text);
  // Runs `body`; database and out-of-memory failures become the error box and false.
  template <class Body>
  bool Guarded(Body&& body);
  void ReportDatabaseError(const std::exception& e);
  void ReportOutOfMemory(const std::exception& e);

  TDataExportInfo& info_;
  MessageBoxes& boxes_;
};

}  // namespace nc16
