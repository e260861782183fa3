#pragma once
// The named connections of the wizard's pages, as the database engine wants them set up: a name,
// the driver "STANDARD" and exactly the three parameters of a folder of Paradox tables.

#include <string>

#include "external/db/Db.h"

namespace nc16 {

// Disconnects `database`, names it `name`, points it at `folder`, connects, and binds `query` to
// it; the connection then stays open between uses. Raises db::EDatabaseError.
void PointConnection(db::TDatabase& database, db::TQuery& query, const std::string& name,
                     const std::string& folder);

// Closes a query on every way out of a scope.
class QueryCloser {
 public:
  explicit QueryCloser(db::TQuery& query) : query_(query) {}
  ~QueryCloser() {
    if (query_.Active()) query_.Close();
  }
  QueryCloser(const QueryCloser&) = delete;
  QueryCloser& operator=(const QueryCloser&) = delete;

 private:
  db::TQuery& query_;
};

}  // namespace nc16
