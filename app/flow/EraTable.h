#pragma once
// The era table mGengo.db of the payroll product's common data folder: the era a Western year
// belongs to, the era's name and the year counted within it. The rows keep the table's own
// order (the queries have no order clause): the first era whose years hold a year is the one
// used, so the order decides which era a year of change belongs to.

#include <memory>
#include <string>
#include <vector>

#include "external/db/Db.h"
#include "platform/MessageBox.h"

namespace nc16 {

class EraTable {
 public:
  // Reads the table of `folder` through `connection` (named "K2Holder", pointed at the folder).
  // Raises db::EDatabaseError, also for a row whose values do not read as the lookups need.
  static EraTable Load(db::TDatabase& connection, const std::string& folder);

  // The year within its era (the year less the era's HoseiNen); 0 when no era holds it.
  int EraYear(int year) const;
  // The era's name (GengoMei); empty when no era holds the year.
  std::string EraName(int year) const;

 private:
  struct Era {
    int start = 0;
    int end = 0;  // 0 or less: the current era
    int offset = 0;
    std::string name;
    bool Holds(int year) const { return start <= year && (end <= 0 || year <= end); }
  };
  // Each lookup reads the rows of its own query, as the two queries may differ in what they
  // find of a damaged table.
  std::vector<Era> for_year_;
  std::vector<Era> for_name_;
};

// The era table of the common data folder, as whoever checks data sets keeps it: read once per
// version of its file (its stamp), again when the file has changed. The last table read is
// shared by every lookup of the process (the batch checks one data set after another against
// the same file), but only while its file keeps a stamp that lay well in the past; a lookup
// holds the table it answered from.
class EraLookup {
 public:
  EraLookup() = default;
  EraLookup(const EraLookup&) = delete;
  EraLookup& operator=(const EraLookup&) = delete;

  // The table of `folder`; null when it cannot be read, its database error report then added
  // to `shown`.
  const EraTable* Table(const std::string& folder, Messages& shown);

  // The lookups of the table of `folder`: 0 and empty when it cannot be read (see Table).
  int EraYear(const std::string& folder, int year, Messages& shown);
  std::string EraName(const std::string& folder, int year, Messages& shown);

  // Closes the connection; the rows read stay, and the next read opens it again.
  void Disconnect() {
    if (connection_.Connected()) connection_.Close();
  }

 private:
  db::TDatabase connection_;  // "K2Holder"
  std::shared_ptr<const EraTable> table_;
};

}  // namespace nc16
