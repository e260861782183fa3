#pragma once
// The product-wide files of the demo installation: registry, Version.ini, the era table and the
// data list.

#include <string>
#include <vector>

#include "tools/demo/DemoInstallation.h"

namespace nc16::demo {

// The registry file with the product key and its RootDir value.
void WriteRegistry(const std::string& registry_file, const std::string& root_dir);

// Initdat/Version.ini of the data root: version 7.01.002.
void WriteVersionIni(const std::string& initdat_folder);

// mGengo.db in the common data folder: 明治, 大正, 昭和, 平成, 令和.
void WriteEraTable(const std::string& common_data_dir);

// db/mDataList.db: the 200 rows of the data list, the data sets' rows in use (Holder their
// folder) and the others unused placeholders, as the product creates them. As a copy from
// Windows: DB/mDataList.db, and every row's Holder WindowsHolder(i).
void WriteDataList(const std::string& common_data_dir, const std::vector<DemoDataSet>& used,
                   int year, bool windows_copy = false);

// The data list's folder of row i: common_data_dir + "/DB/DAT" + three digits.
std::string DataSetFolder(const std::string& common_data_dir, int i);

// The Holder of row i as the product writes it on Windows:
// C:\ProgramData\VANTREL\MILVEKKYUYO\DB\DAT + three digits.
std::string WindowsHolder(int i);

// Renames `folder` and everything below it to upper-case names, as Windows tools often leave
// them. Raises std::filesystem::filesystem_error.
void UpperCaseNames(const std::string& folder);

}  // namespace nc16::demo
