#include "mnlog/uMNLog.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include "document/Texts.h"
#include "platform/LocalTime.h"

namespace nc16 {

namespace {

std::atomic<int64_t> g_busy_wait_ms{5000};

}  // namespace

std::chrono::milliseconds TMNLogClass::BusyWait() {
  return std::chrono::milliseconds(g_busy_wait_ms.load());
}

void TMNLogClass::SetBusyWaitForTesting(std::chrono::milliseconds wait) {
  g_busy_wait_ms = wait.count();
}

TMNLogClass::TMNLogClass(Messages& shown) : shown_(shown) {
  table_.SetTableName("tMNLog.DB");
  table_.SetExclusive(true);
}

db::TDateTime TMNLogClass::Now() {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t t = system_clock::to_time_t(now);
  const std::tm local = platform::LocalTime(t);
  auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  sys_days day{year{local.tm_year + 1900} / (local.tm_mon + 1) / local.tm_mday};
  sys_days origin{year{1899} / 12 / 30};
  double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0;
  return static_cast<double>((day - origin).count()) + seconds / 86400.0;
}

bool TMNLogClass::WriteLog(const std::string& DatabaseName, const std::string& ProcessName,
                           const std::string& ProcessSub, const std::string& OpCode,
                           const std::string& OpName, const std::string& PcName,
                           const std::string& SyainCode, const std::string& SyainName,
                           const std::string& FuyouName, int32_t BumonKey, int32_t SyainKey,
                           int32_t FRowID) {
  // Closes the table on every way out, also when an error passes.
  struct CloseGuard {
    db::TTable& table;
    ~CloseGuard() {
      if (table.Active()) table.Close();
    }
  } guard{table_};

  try {
    table_.SetDatabaseName(DatabaseName);
    // Another export of the same data set holds the table for the moment of its own record.
    const auto give_up = std::chrono::steady_clock::now() + BusyWait();
    for (;;) {
      try {
        table_.Open();
        break;
      } catch (const db::ETableBusy&) {
        if (std::chrono::steady_clock::now() >= give_up) throw;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
    table_.Append();
    table_.FieldByName("Serial").SetAsString("");
    table_.FieldByName("AppKbn").SetAsInteger(0);
    table_.FieldByName("ProcessName").SetAsString(ProcessName);
    table_.FieldByName("ProcessDate").SetAsDateTime(Now());
    table_.FieldByName("ProcessSub").SetAsString(ProcessSub);
    table_.FieldByName("OpCode").SetAsString(OpCode);
    table_.FieldByName("OpName").SetAsString(OpName);
    table_.FieldByName("PcName").SetAsString(PcName);
    table_.FieldByName("BumonKey").SetAsInteger(BumonKey);
    table_.FieldByName("SyainKey").SetAsInteger(SyainKey);
    table_.FieldByName("FRowID").SetAsInteger(FRowID);
    table_.FieldByName("SyainCode").SetAsString(SyainCode);
    table_.FieldByName("SyainName").SetAsString(SyainName);
    table_.FieldByName("FuyouName").SetAsString(FuyouName);
    table_.Post();
    table_.Close();
    return true;
  } catch (const db::EDBEngineError& e) {
    if (table_.Active()) table_.Cancel();
    shown_.push_back({MessageKind::kError, texts::EngineError(e.what())});
  } catch (const db::EDatabaseError& e) {
    if (table_.Active()) table_.Cancel();
    shown_.push_back({MessageKind::kError, texts::DatabaseError(e.what())});
  }
  return false;
}

}  // namespace nc16
