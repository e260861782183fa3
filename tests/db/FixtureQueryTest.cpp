// Queries over Paradox tables that other programs wrote (read in place from the fixtures).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "external/db/Db.h"
#include "platform/Cp932.h"
#include "tests/ThirdPartyFixtures.h"

namespace nc16::db {
namespace {

const std::string kJoins = NC16_FIXTURES_DIR "/paradoxdriver/joins";
const std::string kDb = NC16_FIXTURES_DIR "/paradoxdriver/db";
const std::string kTypes = NC16_FIXTURES_DIR "/rparadox";

// Opens `sql` on `folder` (the database name taken as a path).
void OpenQuery(TQuery& q, const std::string& folder, std::vector<std::string> sql) {
  q.SetDatabaseName(folder);
  q.SQL() = std::move(sql);
  q.Prepare();
  q.Open();
}

// Column `col` of every row as text, "-" for null.
std::vector<std::string> Column(TQuery& q, int col) {
  std::vector<std::string> out;
  for (q.First(); !q.Eof(); q.Next()) {
    out.push_back(q.Fields(col).IsNull() ? "-" : q.Fields(col).AsString());
  }
  return out;
}

using V = std::vector<std::string>;

TEST(FixtureQuery, SelectStarKeepsTheTablesOwnOrder) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  OpenQuery(q, kJoins, {"SELECT * FROM \"A.db\""});
  EXPECT_EQ(q.RecordCount(), 3);
  EXPECT_EQ(Column(q, 0), (V{"1", "2", "3"}));
  EXPECT_EQ(q.Fields(0).DataType(), TFieldType::ftInteger);
}

// Every row of `q` as the text of its fields, "-" for null.
std::vector<V> Rows(TQuery& q) {
  std::vector<V> out;
  for (q.First(); !q.Eof(); q.Next()) {
    V& row = out.emplace_back();
    for (int c = 0; c < q.FieldCount(); ++c) {
      row.push_back(q.Fields(c).IsNull() ? "-" : q.Fields(c).AsString());
    }
  }
  return out;
}

// A query of all of one table's fields reads them from the table's records; with one more
// column it holds copies of the values. Both give the same rows in the same order: ties of the
// sort, memos and blobs, filters.
TEST(FixtureQuery, AllFieldsOfOneTableReadAsTheSameRowsAsCopiedValues) {
  NC16_NEEDS_FIXTURES();
  const struct {
    std::string folder, from, rest;
  } cases[] = {
      {kDb, "\"ORDERS\" O", "ORDER BY O.\"Customer No\" DESC"},
      {kDb, "customer", "WHERE CustNo > 2 ORDER BY Comments DESC"},
      {kTypes, "TypSammlung", "ORDER BY Alpha"},
      {kTypes, "biolife", ""},
      // Fields named by their position in "*".
      {kDb, "customer", "ORDER BY 2 DESC"},
      {kDb, "customer", "ORDER BY (3), +1 DESC LIMIT 10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    TQuery records, copies;
    OpenQuery(records, c.folder, {"SELECT * FROM " + c.from, c.rest});
    OpenQuery(copies, c.folder, {"SELECT *, 0 AS Extra FROM " + c.from, c.rest});
    std::vector<V> copied = Rows(copies);
    for (V& row : copied)
      row.pop_back();
    ASSERT_GT(copied.size(), 2u);
    EXPECT_EQ(Rows(records), copied);
    EXPECT_EQ(records.RecordCount(), copies.RecordCount());
  }
}

TEST(FixtureQuery, FullOuterJoinKeepsUnmatchedRowsOfBothSidesWithNullsFirstAscending) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  OpenQuery(q, kJoins,
            {"SELECT a.ID, b.Id", "FROM \"joina.DB\" a", "FULL OUTER JOIN \"JOINB\" b",
             "ON (b.Id = a.ID)", "ORDER BY a.ID ASC, b.Id"});
  EXPECT_EQ(Column(q, 0), (V{"-", "1", "2", "3"}));
  EXPECT_EQ(Column(q, 1), (V{"4", "-", "2", "3"}));
  // The two columns share a name (letter case aside): the first in the select list answers.
  q.First();
  EXPECT_TRUE(q.FieldByName("ID").IsNull());
  EXPECT_TRUE(q.FieldByName("id").IsNull());
  q.Next();
  EXPECT_EQ(q.FieldByName("Id").AsInteger(), 1);

  TQuery d;
  OpenQuery(d, kJoins,
            {"SELECT a.ID, b.Id FROM \"joina.DB\" a FULL OUTER JOIN joinb b ON a.ID = b.Id",
             "ORDER BY a.ID DESC"});
  EXPECT_EQ(Column(d, 0), (V{"3", "2", "1", "-"}));
}

TEST(FixtureQuery, InnerJoinsWithAliasesAndQualifiedColumns) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  OpenQuery(
      q, kJoins,
      {"SELECT Tc.C, Ta.A, Tb.B", "FROM \"C.DB\" Tc", "INNER JOIN \"a\" Ta", "ON (Ta.A = Tc.A)",
       "INNER JOIN \"B.db\" Tb", "ON (Tb.B = Tc.B)", "ORDER BY Tc.C DESC"});
  EXPECT_EQ(Column(q, 0), (V{"3", "2", "1"}));
  EXPECT_EQ(Column(q, 2), (V{"6", "5", "4"}));
}

TEST(FixtureQuery, TableNamesResolveWithoutRegardToLetterCase) {
  NC16_NEEDS_FIXTURES();
  for (const char* name : {"\"customer.db\"", "\"CUSTOMER\"", "Customer.DB", "customer"}) {
    TQuery q;
    OpenQuery(q, kDb, {std::string("SELECT CustNo FROM ") + name});
    EXPECT_EQ(q.RecordCount(), 20) << name;
  }
  TQuery q;
  q.SetDatabaseName(kDb);
  q.SQL() = {"SELECT * FROM \"nosuch.db\""};
  try {
    q.Open();
    FAIL();
  } catch (const EDBEngineError& e) {
    EXPECT_NE(std::string(e.what()).find("nosuch.db"), std::string::npos);
  }
}

TEST(FixtureQuery, WhereNotEmptyDropsBlankValues) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  OpenQuery(q, kDb, {"SELECT CustNo FROM customer.db", "WHERE Comments <> ''", "ORDER BY CustNo"});
  EXPECT_EQ(Column(q, 0), (V{"1", "2", "3", "4", "5"}));
}

TEST(FixtureQuery, OrderByOverSeveralColumnsAscendingAndDescending) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  OpenQuery(q, kDb,
            {"SELECT O.\"Order No\", O.\"Customer No\" FROM \"Orders.db\" O",
             "ORDER BY O.\"Customer No\" DESC, O.\"Order No\" ASC"});
  ASSERT_GT(q.RecordCount(), 10);
  double prev_cust = 1e18, prev_order = -1;
  for (q.First(); !q.Eof(); q.Next()) {
    const double cust = q.Fields(1).AsFloat();
    const double order = q.Fields(0).AsFloat();
    ASSERT_LE(cust, prev_cust);
    if (cust == prev_cust) {
      ASSERT_GT(order, prev_order);
    }
    prev_cust = cust;
    prev_order = order;
  }
}

TEST(FixtureQuery, EveryFieldTypeReadsInEachForm) {
  NC16_NEEDS_FIXTURES();
  // TypSammlung: one row per case, blank, zero and negative values among them.
  TQuery q;
  OpenQuery(q, kTypes, {"SELECT * FROM TypSammlung ORDER BY Alpha"});
  ASSERT_EQ(q.RecordCount(), 5);
  EXPECT_EQ(q.Fields(2).DataType(), TFieldType::ftCurrency);
  EXPECT_EQ(q.Fields(5).DataType(), TFieldType::ftFloat);  // BCD, as ENABLE BCD=FALSE asks
  EXPECT_EQ(q.Fields(6).DataType(), TFieldType::ftDate);
  EXPECT_EQ(q.Fields(10).DataType(), TFieldType::ftBoolean);

  q.First();  // "AAA Irgendein Text": 40 everywhere, 1 January 1970
  EXPECT_EQ(q.Fields(2).AsCurrency().units, 400000);
  EXPECT_EQ(q.Fields(3).AsInteger(), 40);
  EXPECT_EQ(q.Fields(6).AsDateTime(), 25569);
  EXPECT_EQ(q.Fields(6).AsString(), "1970/01/01");
  EXPECT_DOUBLE_EQ(q.Fields(8).AsDateTime(), 25569 + 11.0 / 24);
  EXPECT_TRUE(q.Fields(10).IsNull());
  EXPECT_FALSE(q.Fields(10).AsBoolean());

  q.Next();  // "Erste Zeile": blank money and integers, logical false
  EXPECT_TRUE(q.Fields(2).IsNull());
  EXPECT_EQ(q.Fields(2).AsCurrency().units, 0);
  EXPECT_EQ(q.Fields(3).AsString(), "");
  EXPECT_EQ(q.Fields(6).AsDateTime(), 0);
  EXPECT_FALSE(q.Fields(10).IsNull());
  EXPECT_FALSE(q.Fields(10).AsBoolean());

  q.Next();  // the fifth record: money 13.002, BCD 13.123457, time 01:10:12
  EXPECT_EQ(q.Fields(2).AsCurrency().units, 130020);
  EXPECT_DOUBLE_EQ(q.Fields(5).AsFloat(), 13.123457);
  EXPECT_EQ(q.Fields(7).AsString(), "01:10:12");
  EXPECT_EQ(q.Fields(1).AsInteger(), 1);  // 1.34 rounds

  q.Next();
  q.Next();  // "Zweite Zeile": negatives and true
  EXPECT_EQ(q.Fields(2).AsCurrency().units, -400000);
  EXPECT_EQ(q.Fields(2).AsString(), "-40");
  EXPECT_EQ(q.Fields(4).AsInteger(), -40);
  EXPECT_TRUE(q.Fields(10).AsBoolean());
  EXPECT_EQ(q.Fields(6).AsString(), "1999/09/09");
}

TEST(FixtureQuery, LocateFindsTheFirstMatchInQueryOrderAndLeavesTheCursorOtherwise) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  OpenQuery(q, kDb,
            {"SELECT * FROM \"ORDERS\" O", "ORDER BY O.\"Customer No\", O.\"Order No\" DESC"});
  ASSERT_TRUE(q.Locate("Customer No", {int64_t{1221}}));
  EXPECT_EQ(q.FieldByName("Order No").AsInteger(), 1669);  // the highest order comes first
  ASSERT_TRUE(q.Locate("Customer No;Ship VIA", {1221.0, std::string("US Mail")}));
  EXPECT_EQ(q.FieldByName("Order No").AsInteger(), 1059);
  // Case-sensitive and exact: nothing found, the cursor stays on order 1059.
  EXPECT_FALSE(q.Locate("Customer No;Ship VIA", {int64_t{1221}, std::string("us mail")}));
  EXPECT_FALSE(q.Locate("Customer No;Ship VIA", {int64_t{1221}, std::string("US Mai")}));
  EXPECT_FALSE(q.Locate("Customer No", {int64_t{999999}}));
  EXPECT_EQ(q.FieldByName("Order No").AsInteger(), 1059);
  EXPECT_FALSE(q.Eof());
  // Key field names are matched like FieldByName, blanks around them ignored.
  EXPECT_TRUE(q.Locate("customer no ; SHIP via", {int64_t{1221}, std::string("UPS")}));
  EXPECT_THROW(q.Locate("Customer No;Ship VIA", {int64_t{1221}}), EDatabaseError);
  EXPECT_THROW(q.Locate("Nonexistent", {int64_t{1}}), EDatabaseError);
}

TEST(FixtureQuery, LocateFindsBlankValuesWithNullOrEmptyText) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  OpenQuery(q, kDb, {"SELECT CustNo, Comments FROM customer ORDER BY CustNo DESC"});
  ASSERT_TRUE(q.Locate("Comments", {std::string()}));
  EXPECT_EQ(q.Fields(0).AsInteger(), 20);
  ASSERT_TRUE(q.Locate("Comments", {std::monostate{}}));
  EXPECT_EQ(q.Fields(0).AsInteger(), 20);
}

TEST(FixtureQuery, AFieldTheQueryDoesNotReturnIsADatabaseErrorNamingIt) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  OpenQuery(q, kJoins, {"SELECT * FROM \"A.db\""});
  try {
    q.FieldByName("Holder");
    FAIL();
  } catch (const EDBEngineError&) {
    FAIL() << "not an engine error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(std::string(e.what()), SJ("フィールド 'Holder' が見つかりません。"));
  }
  EXPECT_THROW(q.Fields(1), EDatabaseError);
}

TEST(FixtureQuery, CursorStaysOnTheLastRowPastTheEnd) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  OpenQuery(q, kJoins, {"SELECT * FROM \"A.db\" ORDER BY A"});
  EXPECT_FALSE(q.Eof());
  q.Next();
  q.Next();
  EXPECT_FALSE(q.Eof());
  q.Next();
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(q.Fields(0).AsInteger(), 3);
  q.First();
  EXPECT_EQ(q.Fields(0).AsInteger(), 1);
  q.Close();
  EXPECT_FALSE(q.Active());
  EXPECT_THROW(q.FieldByName("A"), EDatabaseError);
}

TEST(FixtureQuery, AnEmptyResultReadsAsOneRowOfNulls) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  OpenQuery(q, kJoins, {"SELECT A FROM \"A.db\" WHERE A > 100"});
  EXPECT_TRUE(q.Eof());
  EXPECT_EQ(q.RecordCount(), 0);
  EXPECT_EQ(q.FieldByName("A").AsInteger(), 0);
  EXPECT_TRUE(q.FieldByName("A").IsNull());
}

TEST(FixtureQuery, SqlErrorsAreEngineErrors) {
  NC16_NEEDS_FIXTURES();
  TQuery q;
  q.SetDatabaseName(kJoins);
  q.SQL() = {"SELECT nosuchcolumn FROM \"A.db\""};
  EXPECT_THROW(q.Open(), EDBEngineError);
  q.SQL() = {"SELECT * FROM"};
  EXPECT_THROW(q.Prepare(), EDatabaseError);
  EXPECT_FALSE(q.Active());
}

}  // namespace
}  // namespace nc16::db
