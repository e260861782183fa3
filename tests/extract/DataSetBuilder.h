#pragma once
// Small payroll data sets for the extraction tests, written as real Paradox tables into a
// temporary folder. An employee comes with the rows every join of the employee query needs
// (benefit settings, year-end data, department, post, municipality); a test changes the columns
// it is about and adds family and payment rows.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/platform/TempFolder.h"
#include "tools/demo/PayrollSchema.h"

namespace nc16::test {

using demo::Row;

// A CP932 text from UTF-8 source.
std::string SJIS(std::string_view utf8);

// Money as the Paradox value.
inline px::Value Money(double amount) {
  return amount;
}

class DataSetBuilder {
 public:
  explicit DataSetBuilder(int version);

  int version() const { return version_; }

  // Adds an employee with key `key` and code `code`; the returned rows may be changed until
  // Write. The department, post and municipality rows are shared by key.
  struct Employee {
    Row& syain;
    Row& fuyou;
    Row& nencho;
    Row& hoken;   // tHokenKoujo (data version 500002 on)
    Row& fkoujo;  // tFuyouKoujo (data version 500002 on)
  };
  Employee AddEmployee(int64_t key, std::string_view code_utf8, std::string_view name_utf8);

  Row& AddFamily(int64_t syain, int group, int row_id, std::string_view name_utf8);
  Row& AddPayment(int64_t syain, int kind, int number, int input_kbn, double taxable);
  Row& Department(int64_t key) { return bumon_[key]; }
  Row& Municipality(int64_t key) { return sichou_[key]; }
  Row& Company() { return kaisya_; }

  // Leaves out the year-end data row of an employee (so the join drops it).
  void DropNenchoRow(int64_t key) { dropped_nencho_.push_back(key); }

  // Writes every table of the data set into `folder` (which must exist).
  void Write(const std::filesystem::path& folder) const;

 private:
  int version_;
  Row kaisya_;
  std::vector<std::unique_ptr<Row>> syain_, fuyou_, nencho_, hoken_, fkoujo_;
  std::vector<Row> family_, payments_;
  std::map<int64_t, Row> bumon_, post_, sichou_;
  std::vector<int64_t> dropped_nencho_;
};

using TempFolder = testing::TempFolder;

}  // namespace nc16::test
