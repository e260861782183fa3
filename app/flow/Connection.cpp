#include "app/flow/Connection.h"

namespace nc16 {

void PointConnection(db::TDatabase& database, db::TQuery& query, const std::string& name,
                     const std::string& folder) {
  if (query.Active()) query.Close();
  if (database.Connected()) database.Close();
  database.SetDatabaseName(name);
  database.SetDriverName("STANDARD");
  database.Params() = {"PATH=" + folder, "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"};
  database.Open();
  query.SetDatabaseName(name);
}

}  // namespace nc16
