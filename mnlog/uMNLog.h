#pragma once
// TMNLogClass: records in the payroll product's audit table tMNLog.DB (in the data folder) that
// individual numbers left the payroll data. One record per export; nothing is ever updated or
// deleted. The table is opened for exclusive use only for the length of one WriteLog. A table
// that another process holds is waited for a few seconds, long enough for another export's
// record, before the failure is reported: the payroll product holding it for longer still makes
// the record fail, as it always has.

#include <chrono>
#include <cstdint>
#include <string>

#include "external/db/Db.h"
#include "platform/MessageBox.h"

namespace nc16 {

class TMNLogClass {
 public:
  // Database errors are added to `shown` as error messages; it must outlive the object.
  explicit TMNLogClass(Messages& shown);
  TMNLogClass(const TMNLogClass&) = delete;
  TMNLogClass& operator=(const TMNLogClass&) = delete;

  // Appends one record to tMNLog.DB of the folder DatabaseName. True when it was posted; false
  // after a database error, whose message has been added. Other errors pass through.
  bool WriteLog(const std::string& DatabaseName, const std::string& ProcessName,
                const std::string& ProcessSub, const std::string& OpCode, const std::string& OpName,
                const std::string& PcName, const std::string& SyainCode,
                const std::string& SyainName, const std::string& FuyouName, int32_t BumonKey,
                int32_t SyainKey, int32_t FRowID);

  // The current local date and time to the millisecond, as a date-time value.
  static db::TDateTime Now();

  // How long a table held by another process is waited for (5 seconds); tests shorten it.
  static std::chrono::milliseconds BusyWait();
  static void SetBusyWaitForTesting(std::chrono::milliseconds wait);

 private:
  Messages& shown_;
  db::TTable table_;
  db::TQuery query_;  // kept for the table's owner; no operation uses it
};

}  // namespace nc16
