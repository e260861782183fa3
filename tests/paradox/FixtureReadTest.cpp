// Tables written by Paradox and other programs, read in place: every one opens and scans (or
// gives the error it should), and chosen values of each version and field type come out right.

#include <gtest/gtest.h>

#include <algorithm>

#include "external/paradox/ParadoxTable.h"
#include "tests/ThirdPartyFixtures.h"
#include "tests/paradox/TestDir.h"

namespace nc16::px {
namespace {

using test::Fixture;

std::vector<std::filesystem::path> AllTables() {
  std::vector<std::filesystem::path> out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(NC16_FIXTURES_DIR)) {
    std::string ext = e.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (ext == ".db") out.push_back(e.path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

TEST(FixtureReadTest, EveryTableReadsOrGivesItsError) {
  NC16_NEEDS_FIXTURES();
  const auto tables = AllTables();
  ASSERT_GE(tables.size(), 60u);
  int read = 0;
  for (const auto& path : tables) {
    SCOPED_TRACE(path.string());
    const bool encrypted = path.parent_path().filename() == "encrypt";
    if (encrypted) {
      try {
        Table t(path);
        ADD_FAILURE() << "encrypted table opened";
      } catch (const EncryptedTableError& e) {
        EXPECT_NE(std::string(e.what()).find(path.filename().string()), std::string::npos);
      }
      continue;
    }
    Table t(path);
    EXPECT_EQ(t.RecordCount(), t.header().record_count);
    // MEMBRE.DB comes without its .MB file: its blob values cannot be read, everything else can.
    if (path.filename() == "MEMBRE.DB") {
      EXPECT_THROW(t.ReadAll(), ParadoxError);
      for (size_t i = 0; i < t.fields().size(); ++i)
        if (!IsBlobType(t.fields()[i].type)) t.At(0).Get(static_cast<int>(i));
      continue;
    }
    EXPECT_EQ(t.ReadAll().size(), t.RecordCount());
    ++read;
  }
  EXPECT_GE(read, 60);
}

TEST(FixtureReadTest, VersionsCodePagesAndBlockSizes) {
  NC16_NEEDS_FIXTURES();
  struct Case {
    const char* file;
    int version, code_page, block_size, keys;
    size_t records;
  };
  // clang-format off
  const Case cases[] = {
      {"paradoxdriver/fields/date35.db",     35,    0, 2048, 0,     3},
      {"paradoxdriver/fields/date4.db",      40,  850, 2048, 0,     3},
      {"paradoxdriver/fields/date5.db",      50,  850, 2048, 0,     3},
      {"paradoxdriver/geog/County.DB",       70,  437, 16384, 1, 3218},
      {"paradoxdriver/areas/ZIPCODES.DB",    40,  437, 2048, 1, 43185},
      {"paradoxreader/MTDEMO/FILMS.DB",      30,    0, 1024, 1,    36},
      {"mirserver/Magic.DB",                 70,  936, 2048, 0,   250},
      {"rparadox/of_cp866.db",               40,  866, 2048, 0,  2197},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Table t(Fixture(c.file));
    EXPECT_EQ(t.header().version, c.version);
    EXPECT_EQ(t.header().code_page, c.code_page);
    EXPECT_EQ(t.header().block_size, c.block_size);
    EXPECT_EQ(t.header().key_field_count, c.keys);
    EXPECT_EQ(t.RecordCount(), c.records);
  }
}

TEST(FixtureReadTest, EveryFieldTypeOfTypSammlung) {
  NC16_NEEDS_FIXTURES();
  Table t(Fixture("rparadox/TypSammlung.DB"));
  ASSERT_EQ(t.fields().size(), 14u);
  EXPECT_EQ(t.fields()[5].type, FieldType::BCD);
  EXPECT_EQ(t.fields()[5].size, 6);
  const auto rows = t.ReadAll();
  ASSERT_EQ(rows.size(), 5u);
  // Row "Zweite Zeile": negative values of every numeric type.
  const auto& neg = rows[4];
  EXPECT_EQ(neg[0], Value(std::string("Zweite Zeile")));
  EXPECT_EQ(neg[1], Value(-40.0));
  EXPECT_EQ(neg[2], Value(-40.0));
  EXPECT_EQ(neg[3], Value(int64_t{-40}));
  EXPECT_EQ(neg[4], Value(int64_t{-40}));
  EXPECT_EQ(neg[5], Value(Decimal{"-40.000000"}));
  EXPECT_EQ(neg[6], Value(Date{730006}));  // 1999-09-09
  EXPECT_EQ(neg[7], Value(Time{(11 * 3600 + 11 * 60 + 11) * 1000}));
  EXPECT_EQ(neg[10], Value(true));
  EXPECT_EQ(neg[11], Value(int64_t{2}));
  // Row "Null-Werte": zeros, which are not blanks.
  EXPECT_EQ(rows[3][1], Value(0.0));
  EXPECT_EQ(rows[3][3], Value(int64_t{0}));
  EXPECT_EQ(rows[3][6], Value{});
  // Row "Fünfter Datensatz": a memo longer than its leader, from the .MB file.
  EXPECT_EQ(std::get<std::string>(rows[2][9]).substr(0, 20), "Dies ist eine Memo i");
  EXPECT_EQ(rows[1][10], Value(false));
}

TEST(FixtureReadTest, BlobsFromSuballocatedAndSingleBlocks) {
  NC16_NEEDS_FIXTURES();
  Table memo(Fixture("paradoxdriver/fields/memo.db"));
  const auto m = memo.ReadAll();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(std::get<std::string>(m[0][1]).size(), 555u);  // a slot of a suballocated block
  EXPECT_EQ(m[1][1], Value(std::string("01234567890\n")));

  Table graphic(Fixture("paradoxdriver/fields/graphic240.db"));
  const auto g = std::get<std::string>(graphic.At(0).Get(1));
  EXPECT_EQ(g.substr(0, 2), "BM");  // the bitmap itself, without the graphic's own header

  Table bio(Fixture("rparadox/biolife.db"));
  EXPECT_EQ(bio.RecordCount(), 28u);
  for (const auto& row : bio.ReadAll())
    EXPECT_EQ(std::get<std::string>(row[7]).substr(0, 2), "BM");
}

TEST(FixtureReadTest, BcdAndBytes) {
  NC16_NEEDS_FIXTURES();
  Table t(Fixture("paradoxdriver/fields/bcd.db"));
  const auto rows = t.ReadAll();
  EXPECT_EQ(rows[0][0], Value(Decimal{"1.23"}));
  EXPECT_EQ(rows[1][0], Value(Decimal{"-1.23"}));
  EXPECT_EQ(rows[1][1], Value(Decimal{"-1"}));
  EXPECT_EQ(rows[2][1], Value{});

  Table b(Fixture("paradoxdriver/fields/bytes.db"));
  EXPECT_EQ(std::get<std::string>(b.At(0).Get(0)).substr(0, 4), std::string("1\0002\000", 4));
}

TEST(FixtureReadTest, BulkAccessorsAgreeWithValues) {
  NC16_NEEDS_FIXTURES();
  Table t(Fixture("paradox-reader/zakazky.db"));
  ASSERT_EQ(t.RecordCount(), 3988u);
  size_t n = 0;
  t.ForEach([&](const Record& r) {
    const Value v = r.Get(0);
    EXPECT_EQ(r.GetInteger(0), std::get<int64_t>(v));
    ++n;
  });
  EXPECT_EQ(n, 3988u);
  EXPECT_EQ(t.FieldIndex("datetime"), 19);
  EXPECT_EQ(t.FieldIndex("nope"), -1);
}

}  // namespace
}  // namespace nc16::px
