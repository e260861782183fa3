#pragma once
// The list of the payroll product's data sets (mDataList.db in CommonDataDir\db), as the data-set
// page shows it, without windows: one row of four cell texts per used data-list row, in the
// order the page shows them. Creates the list table with its 200 unused rows when it is missing.
// Texts are CP932.

#include <string>
#include <string_view>
#include <vector>

#include "app/flow/EraTable.h"
#include "external/db/Db.h"
#include "platform/MessageBox.h"

namespace nc16 {

struct DataListRow {
  std::string Name;       // data name, or "未使用" for an unused row
  std::string Period;     // "<era> yy年 mm月／nn回", empty for an unused row
  std::string ShownPath;  // Folder, shortened to "~..." inside CommonDataDir
  std::string Holder;     // the full folder path as the list holds it (the row's key)
  bool Used = false;      // the row names a data set (its data name is not the unused one)
  int Year = 0;           // SyoriNen of the row: the Western year of the data
  std::string Folder;     // the data folder on this system: LocalHolderFolder of Holder
};

// The data name of an unused row: 0xFF (so it sorts after every name) and "未使用".
const std::string& UnusedDataName();

// Reads the list of the common data folder `common_data_dir` with a query of its own through
// `connection`, which it names "Kyuyo2" and points at the folder's "db" (the data-set check points
// the same connection at a data folder; the list leaves it open). The period cells take their
// eras from `eras`. SortField is "Holder" or "Content,Holder", Direction "ASC" or "DESC". Rows
// with an empty data name are shown after the others when sorted ascending by name and before
// them when sorted descending. A database or out-of-memory failure adds its error report to
// `shown`; the rows read so far are returned.
std::vector<DataListRow> LoadDataList(db::TDatabase& connection, EraLookup& eras,
                                      const std::string& common_data_dir,
                                      std::string_view SortField, std::string_view Direction,
                                      Messages& shown);

// Creates mDataList.db through the open connection `connection` (whose folder is
// CommonDataDir\db) with its fields and indexes, and appends the 200 unused rows whose folders
// are CommonDataDir\DB\DAT001 to DAT200. Raises db::EDatabaseError.
void CreateDataListTable(const std::string& connection, const std::string& common_data_dir);

}  // namespace nc16
