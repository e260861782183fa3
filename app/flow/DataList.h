#pragma once
// The list of the payroll product's data sets (mDataList.db in CommonDataDir\db), as the data-set
// page shows it, without windows: one row of four cell texts per used data-list row, in the
// order the page shows them. Creates the list table with its 200 unused rows when it is missing.
// Texts are CP932.

#include <string>
#include <string_view>
#include <vector>

#include "app/flow/DataSetCheck.h"
#include "document/DataExportInfo.h"
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

// `holder` without its first n bytes behind "~" when the text of `common_data_dir` (n bytes)
// occurs anywhere in it; otherwise `holder` unchanged.
std::string ShortenedPath(const std::string& holder, const std::string& common_data_dir);

// The data folder that a Holder names on this system. A list written on Windows holds Windows
// paths ("C:\ProgramData\VANTREL\MILVEKKYUYO\DB\DAT001", "\\server\share\...\DAT001"), which
// name no folder here: their components after the last one that equals, ignoring letter case,
// the last component of `common_data_dir` are found one by one (platform::ResolvePathCase) under
// `common_data_dir`, whose text the result keeps. `holder` unchanged when it is not in the
// Windows form (or this is Windows), holds no such component or "." or "..", or its mapped
// folder does not exist: the data-set check then refuses it. EOSError when a name on the way is
// ambiguous.
std::string LocalHolderFolder(const std::string& holder, const std::string& common_data_dir);

// Reads the list through the connection "Kyuyo2" of `check`, pointed at CommonDataDir\db.
// SortField is "Holder" or "Content,Holder", Direction "ASC" or "DESC". Rows with an empty data
// name are shown after the others when sorted ascending by name and before them when sorted
// descending. A database or out-of-memory failure is shown in an error box; the rows read so far
// are returned.
std::vector<DataListRow> LoadDataList(DataSetCheck& check, const TDataExportInfo& info,
                                      MessageBoxes& boxes, std::string_view SortField,
                                      std::string_view Direction);

// Creates mDataList.db through the open connection `connection` (whose folder is
// CommonDataDir\db) with its fields and indexes, and appends the 200 unused rows whose folders
// are CommonDataDir\DB\DAT001 to DAT200. Raises db::EDatabaseError.
void CreateDataListTable(const std::string& connection, const std::string& common_data_dir);

}  // namespace nc16
