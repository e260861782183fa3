#include "app/flow/EraTable.h"

#include <mutex>
#include <new>

#include "app/flow/Connection.h"
#include "document/Texts.h"

namespace nc16 {
namespace {

// Reads the rows of one lookup's query: the years of each era and `value_field`.
template <class Assign>
void ReadEras(db::TQuery& query, const char* select, Assign assign) {
  QueryCloser closer(query);
  query.SQL() = {select, "FROM \"mGengo.db\" Mgengo"};
  query.Open();
  for (query.First(); !query.Eof(); query.Next())
    assign(query);
}

// The last era table any lookup of the process read, with its folder and stamp.
struct SharedEras {
  std::mutex mutex;
  std::string folder;
  db::TableStamp stamp;
  std::shared_ptr<const EraTable> table;
};

SharedEras& TheSharedEras() {
  static SharedEras shared;
  return shared;
}

}  // namespace

EraTable EraTable::Load(db::TDatabase& connection, const std::string& folder) {
  db::TQuery query;
  PointConnection(connection, query, "K2Holder", folder);
  EraTable table;
  auto years = [](db::TQuery& q) {
    Era era;
    era.start = q.FieldByName("StartNen").AsInteger();
    era.end = q.FieldByName("EndNen").AsInteger();
    return era;
  };
  ReadEras(query, "SELECT Mgengo.SearchKey, Mgengo.StartNen, Mgengo.EndNen, Mgengo.HoseiNen",
           [&](db::TQuery& q) {
             Era era = years(q);
             era.offset = q.FieldByName("HoseiNen").AsInteger();
             table.for_year_.push_back(std::move(era));
           });
  ReadEras(query, "SELECT Mgengo.SearchKey, Mgengo.GengoMei, Mgengo.StartNen, Mgengo.EndNen",
           [&](db::TQuery& q) {
             Era era = years(q);
             era.name = q.FieldByName("GengoMei").AsString();
             table.for_name_.push_back(std::move(era));
           });
  return table;
}

int EraTable::EraYear(int year) const {
  for (const Era& era : for_year_)
    if (era.Holds(year)) return year - era.offset;
  return 0;
}

std::string EraTable::EraName(int year) const {
  for (const Era& era : for_name_)
    if (era.Holds(year)) return era.name;
  return {};
}

const EraTable* EraLookup::Table(const std::string& folder, Messages& shown) {
  const db::TableStamp stamp = db::StampOfTable(folder, "mGengo.db");
  // A file changed within the last moments could change again unseen under the same stamp.
  const bool lasting = stamp.found && stamp.settled;
  SharedEras& shared = TheSharedEras();
  if (lasting) {
    std::lock_guard lock(shared.mutex);
    if (shared.table && shared.folder == folder && shared.stamp == stamp) {
      table_ = shared.table;
      return table_.get();
    }
  }
  table_.reset();
  try {
    table_ = std::make_shared<const EraTable>(EraTable::Load(connection_, folder));
    if (lasting) {
      std::lock_guard lock(shared.mutex);
      shared.folder = folder;
      shared.stamp = stamp;
      shared.table = table_;
    }
    return table_.get();
  } catch (const db::EDatabaseError& e) {
    shown.push_back({MessageKind::kError, texts::DatabaseError(e.what())});
  } catch (const std::bad_alloc& e) {
    shown.push_back({MessageKind::kError, texts::OutOfMemory(e.what())});
  }
  return nullptr;
}

int EraLookup::EraYear(const std::string& folder, int year, Messages& shown) {
  const EraTable* table = Table(folder, shown);
  return table ? table->EraYear(year) : 0;
}

std::string EraLookup::EraName(const std::string& folder, int year, Messages& shown) {
  const EraTable* table = Table(folder, shown);
  return table ? table->EraName(year) : std::string();
}

}  // namespace nc16
