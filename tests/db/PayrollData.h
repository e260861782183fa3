#pragma once
// Payroll data sets written through the Paradox writer, for the tests and benchmarks of the
// database layer: the tables the extraction reads (mKaisya, mSyain, tFuyouSet, tNenchoData,
// tHokenKoujo, tFuyouKoujo, mBumon, mPost, mSichou, tFamily, tNenchoMeisai) with the columns its
// queries name, and a temporary folder that removes itself.

#include <filesystem>
#include <string>
#include <vector>

#include "external/paradox/ParadoxWriter.h"

namespace nc16::db::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// Creates `file` in `folder` with `fields` (the first `keys` fields form the primary key) and
// appends `rows` with one commit.
void WriteTable(const std::filesystem::path& folder, const std::string& file,
                const std::vector<px::FieldDef>& fields, int keys,
                const std::vector<std::vector<px::Value>>& rows);

// The field lists of the payroll tables.
std::vector<px::FieldDef> KaisyaFields();
std::vector<px::FieldDef> SyainFields();
std::vector<px::FieldDef> FuyouSetFields();
std::vector<px::FieldDef> NenchoDataFields();
std::vector<px::FieldDef> HokenKoujoFields();
std::vector<px::FieldDef> FuyouKoujoFields();
std::vector<px::FieldDef> BumonFields();
std::vector<px::FieldDef> PostFields();
std::vector<px::FieldDef> SichouFields();
std::vector<px::FieldDef> FamilyFields();
std::vector<px::FieldDef> MeisaiFields();

struct DataSetShape {
  int employees = 10;
  int version = 700005;
  int details_per_employee = 14;  // tNenchoMeisai rows: 12 salaries and 2 bonuses
  int family_per_employee = 3;    // spouse and two dependants
  int departments = 20;
  int posts = 10;
  int towns = 30;
};

// A whole data set: employee k (1-based) has SearchKey k, SyainCD of 10 digits in reverse key
// order (so ascending codes visit the keys backwards), a CP932 name, and rows in every table.
// Employees divisible by 7 have no tHokenKoujo row, those divisible by 11 no tNenchoData row.
void WriteDataSet(const std::filesystem::path& folder, const DataSetShape& shape);

// The employee query of the extraction for a data version, line by line as the driver builds it.
std::vector<std::string> EmployeeQuery(int version);

}  // namespace nc16::db::testing
