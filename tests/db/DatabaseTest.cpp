// Named connections: unique names, reconnecting to another folder, queries bound by name.

#include <gtest/gtest.h>

#include "external/db/Db.h"
#include "tests/ThirdPartyFixtures.h"

namespace nc16::db {
namespace {

const std::string kJoins = NC16_FIXTURES_DIR "/paradoxdriver/joins";
const std::string kDb = NC16_FIXTURES_DIR "/paradoxdriver/db";

void Configure(TDatabase& db, const std::string& name, const std::string& folder) {
  db.SetDatabaseName(name);
  db.SetDriverName("STANDARD");
  db.Params().clear();
  db.Params().push_back("PATH=" + folder);
  db.Params().push_back("DEFAULT DRIVER=PARADOX");
  db.Params().push_back("ENABLE BCD=FALSE");
}

int Count(const std::string& database, const std::string& table) {
  TQuery q;
  q.SetDatabaseName(database);
  q.SQL() = {"SELECT * FROM \"" + table + "\""};
  q.Open();
  return q.RecordCount();
}

TEST(Database, AQueryBoundToAConnectionNameReadsThatFolder) {
  NC16_NEEDS_FIXTURES();
  TDatabase db;
  Configure(db, "K2Data", kJoins);
  db.Open();
  EXPECT_TRUE(db.Connected());
  EXPECT_EQ(db.Path(), kJoins);
  EXPECT_EQ(Count("K2Data", "joina.db"), 3);
  EXPECT_EQ(Count("k2data", "joina"), 3);  // names compare without regard to case
  EXPECT_THROW(db.SetDatabaseName("Other"), EDatabaseError);
}

TEST(Database, NamesAreUniqueAmongOpenConnections) {
  NC16_NEEDS_FIXTURES();
  TDatabase a, b;
  Configure(a, "Kyuyo2", kJoins);
  Configure(b, "KYUYO2", kDb);
  a.Open();
  EXPECT_THROW(b.Open(), EDBEngineError);
  EXPECT_FALSE(b.Connected());
  a.Close();
  b.Open();
  EXPECT_EQ(Count("Kyuyo2", "CUSTOMER"), 20);
}

TEST(Database, AClosedConnectionCanBePointedAtAnotherFolder) {
  NC16_NEEDS_FIXTURES();
  TDatabase db;
  Configure(db, "K2Holder", kJoins);
  db.Open();
  EXPECT_EQ(Count("K2Holder", "joinb"), 3);
  db.Close();
  Configure(db, "K2Holder", kDb);
  db.Open();
  EXPECT_EQ(Count("K2Holder", "customer"), 20);
  EXPECT_THROW(Count("K2Holder", "joinb"), EDBEngineError);
}

TEST(Database, ConnectingFailsWithAnEngineErrorNamingTheFault) {
  NC16_NEEDS_FIXTURES();
  TDatabase db;
  Configure(db, "K2Data", kJoins + "/nosuchfolder");
  try {
    db.Open();
    FAIL();
  } catch (const EDBEngineError& e) {
    EXPECT_NE(std::string(e.what()).find("nosuchfolder"), std::string::npos);
  }
  EXPECT_FALSE(db.Connected());

  Configure(db, "K2Data", kJoins);
  db.SetDriverName("ORACLE");
  EXPECT_THROW(db.Open(), EDBEngineError);
  Configure(db, "K2Data", kJoins);
  db.Params()[1] = "DEFAULT DRIVER=DBASE";
  EXPECT_THROW(db.Open(), EDBEngineError);
  Configure(db, "", kJoins);
  EXPECT_THROW(db.Open(), EDBEngineError);
  Configure(db, "K2Data", kJoins);
  db.Params().erase(db.Params().begin());
  EXPECT_THROW(db.Open(), EDBEngineError);
}

TEST(Database, AQueryOnANameThatIsNeitherConnectionNorFolderFails) {
  EXPECT_THROW(Count("NoSuchConnection", "A"), EDBEngineError);
}

}  // namespace
}  // namespace nc16::db
