#pragma once
// TNenchoDataMake: turns one company's payroll data set (a folder of Paradox tables) into the
// employee part of the intermediate file — the DATA element with one SYAIN per employee — and
// collects the validation errors of the employees.
//
// One object serves one export: the constructor connects to the folder (connection "K2Data"),
// MakeData runs the queries and writes, the destructor closes everything. The section writers
// rely on the employee query standing on the current employee and on the version, family and
// detail queries being open; they move the family and detail cursors (by Locate) but never the
// employee's.

#include <cstdint>
#include <string>

#include "document/XMLSaveDoc.h"
#include "external/db/Db.h"
#include "extract/ErrorList.h"

namespace nc16 {

// The data versions (mKaisya.Version) at which columns and values change; each means "at least".
namespace data_version {
inline constexpr int kExportable = 20349;
inline constexpr int kV300003 = 300003;
inline constexpr int kV400003 = 400003;
inline constexpr int kV500002 = 500002;
inline constexpr int kMyNumber = 600001;
inline constexpr int kV700000 = 700000;
inline constexpr int kV700001 = 700001;
inline constexpr int kV700005 = 700005;
}  // namespace data_version

class TNenchoDataMake {
 public:
  // Results of MakeData.
  static constexpr int kWritten = 1;
  static constexpr int kNoEmployee = 3;
  static constexpr int kProblemsFound = 5;
  // A table file changed while the queries read it (ChangedTableFile names it): what was written
  // may mix its old and new rows.
  static constexpr int kDataChanged = 7;

  // Connects to `folder` (CP932 path); a failed connection raises a database error. `errors`
  // receives the validation errors and must outlive the object.
  TNenchoDataMake(const std::string& folder, ErrorList& errors);
  virtual ~TNenchoDataMake();
  TNenchoDataMake(const TNenchoDataMake&) = delete;
  TNenchoDataMake& operator=(const TNenchoDataMake&) = delete;

  // Appends DATA and the employees to `doc`, whose root must exist. `my_number_option` 1 decodes
  // and writes individual numbers. Returns kWritten, kNoEmployee or kProblemsFound, or
  // kDataChanged before any of them when a table file read is no longer as it was when opened;
  // database and document errors pass through.
  virtual int MakeData(TXmlSaveDoc& doc, int my_number_option);

  // After kDataChanged: the table file that changed (CP932 path).
  const std::string& ChangedTableFile() const { return changed_file_; }

  // The employee query's SQL lines for a data version.
  static std::vector<std::string> EmployeeQuerySql(int version);

 protected:
  bool OpenDatabase(const std::string& folder);

  // Sections of the current employee.
  void WritePersonal(TXmlSaveDoc& doc, int my_number_option);
  void WriteSpouse(TXmlSaveDoc& doc, int my_number_option);
  void WriteDependants(TXmlSaveDoc& doc, int my_number_option);
  void WriteDeductions(TXmlSaveDoc& doc);
  void WriteSalary(TXmlSaveDoc& doc);
  void WriteBonus(TXmlSaveDoc& doc);
  void WriteTotals(TXmlSaveDoc& doc);

  TXmlNode nodeData;
  TXmlNode nodeSyain;
  TXmlNode nodeGroup;
  TXmlNode nodeSection;
  TXmlNode nodeEntry;
  db::TDatabase dbData;
  db::TQuery qryVersion;
  db::TQuery qrySyain;
  db::TQuery qryFamily;
  db::TQuery qryMeisai;

 private:
  // The data version, read from the version query at every gate.
  int Version();
  // Adds a section heading to the employee's lines.
  void AddHeading(const std::string& heading);
  // Adds an error line to the employee's lines and raises both error flags.
  void AddError(const std::string& line);
  // The error line of a value that the file cannot carry, naming its element (and attribute).
  void ReportInvalidValue(std::string_view element, std::string_view attribute);
  // `result`, or kDataChanged when a table file read has changed since it was opened.
  int Checked(int result);
  // The payments of one kind (salary or bonus).
  void WritePayments(TXmlSaveDoc& doc, bool bonus);
  // Field access on the employee query.
  db::TField& Emp(std::string_view name) { return qrySyain.FieldByName(name); }
  db::TField& Fam(std::string_view name) { return qryFamily.FieldByName(name); }

  ErrorList& errors_;
  bool run_error_ = false;
  bool employee_error_ = false;
  TXmlNodeAttrs attrs_;
  // What the values being written belong to, in front of the field in a value's error line:
  // empty for the employee's own, "［ n行目 name］" while a dependant's row is written.
  std::string value_origin_;
  std::string changed_file_;
};

}  // namespace nc16
