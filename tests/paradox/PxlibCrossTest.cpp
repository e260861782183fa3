// Debian's pxlib as an independent reader and writer: the fixtures read the same through both,
// tables pxlib writes read right through ours, and tables ours writes read right through pxlib
// (its primary-index reader included).
//
// pxlib 0.6.8's known faults are stepped around, never relied on: its long and short decoders
// test for blank by reading past their 4-byte (2-byte) buffer on 64-bit, so blanks are recognised
// here from the raw bytes before a pxlib decoder is called; its blob reading is not used.

#include <gtest/gtest.h>
extern "C" {
#include <paradox.h>
}

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "external/paradox/ParadoxFormat.h"
#include "external/paradox/ParadoxTable.h"
#include "external/paradox/ParadoxWriter.h"
#include "platform/Cp932.h"
#include "tests/ThirdPartyFixtures.h"
#include "tests/paradox/PxlibDoc.h"
#include "tests/paradox/TestDir.h"

namespace nc16::px {
namespace {

using testing::PxDoc;

// Compares our reading of a table with pxlib's: header, fields, and every record's bytes, and the
// numeric and alpha values as pxlib decodes them.
void ExpectSameAsPxlib(const std::filesystem::path& path) {
  SCOPED_TRACE(path.string());
  Table ours(path);
  PxDoc px(path);
  ASSERT_TRUE(px.ok());
  pxdoc_t* doc = px.get();
  ASSERT_EQ(PX_get_num_fields(doc), static_cast<int>(ours.fields().size()));
  ASSERT_EQ(PX_get_num_records(doc), static_cast<int>(ours.RecordCount()));
  pxfield_t* pf = PX_get_fields(doc);
  for (size_t i = 0; i < ours.fields().size(); ++i) {
    EXPECT_EQ(std::string(pf[i].px_fname), ours.fields()[i].name);
    EXPECT_EQ(static_cast<uint8_t>(pf[i].px_ftype), static_cast<uint8_t>(ours.fields()[i].type));
    EXPECT_EQ(pf[i].px_flen, ours.fields()[i].width);
  }
  std::vector<char> buf(ours.header().record_size);
  for (size_t r = 0; r < ours.RecordCount(); ++r) {
    ASSERT_NE(PX_get_record(doc, static_cast<int>(r), buf.data()), nullptr) << r;
    const Record rec = ours.At(r);
    ASSERT_EQ(std::memcmp(buf.data(), rec.Raw().data(), buf.size()), 0) << "record " << r;
    for (size_t i = 0; i < ours.fields().size(); ++i) {
      const FieldInfo& f = ours.fields()[i];
      char* p = buf.data() + f.offset;
      const int fi = static_cast<int>(i);
      if (rec.IsNull(fi)) continue;  // pxlib's blank tests are unreliable (see above)
      switch (f.type) {
        case FieldType::Long:
        case FieldType::AutoInc:
        case FieldType::Date:
        case FieldType::Time: {
          long v = 0;
          PX_get_data_long(doc, p, 4, &v);
          EXPECT_EQ(static_cast<int32_t>(v), rec.GetInteger(fi)) << f.name;
          break;
        }
        case FieldType::Short: {
          short v = 0;
          PX_get_data_short(doc, p, 2, &v);
          EXPECT_EQ(v, rec.GetInteger(fi)) << f.name;
          break;
        }
        case FieldType::Number:
        case FieldType::Money:
        case FieldType::Timestamp: {
          double v = 0;
          PX_get_data_double(doc, p, 8, &v);
          EXPECT_EQ(v, rec.GetDouble(fi)) << f.name;
          break;
        }
        case FieldType::Alpha: {
          char* v = nullptr;
          if (PX_get_data_alpha(doc, p, f.width, &v) > 0) {
            EXPECT_EQ(std::string(v, strnlen(v, f.width)), rec.AlphaView(fi)) << f.name;
            doc->free(doc, v);
          }
          break;
        }
        default:
          break;
      }
    }
  }
}

TEST(PxlibCrossTest, FixturesReadTheSame) {
  NC16_NEEDS_FIXTURES();
  int compared = 0;
  for (const auto& e : std::filesystem::recursive_directory_iterator(NC16_FIXTURES_DIR)) {
    std::string ext = e.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
    if (ext != ".db" || e.path().parent_path().filename() == "encrypt") continue;
    ExpectSameAsPxlib(e.path());
    ++compared;
  }
  EXPECT_GE(compared, 60);
}

TEST(PxlibCrossTest, TablesPxlibWritesReadRightThroughOurs) {
  test::TestDir dir;
  const auto path = dir / "pxw.db";
  pxdoc_t* doc = PX_new2(testing::QuietPxlib, nullptr, nullptr, nullptr);
  ASSERT_NE(doc, nullptr);
  // pxlib frees the field array and names with its allocator (malloc).
  auto* fields = static_cast<pxfield_t*>(std::calloc(6, sizeof(pxfield_t)));
  const struct {
    const char* name;
    char type;
    int len;
  } defs[] = {{"Key", pxfLong, 4},   {"Name", pxfAlpha, 20},  {"Kubun", pxfShort, 2},
              {"Birth", pxfDate, 4}, {"Pay", pxfCurrency, 8}, {"Flag", pxfLogical, 1}};
  for (int i = 0; i < 6; ++i) {
    fields[i].px_fname = strdup(defs[i].name);
    fields[i].px_ftype = defs[i].type;
    fields[i].px_flen = defs[i].len;
  }
  ASSERT_EQ(PX_create_file(doc, fields, 6, path.c_str(), pxfFileTypNonIndexDB), 0);
  PX_set_value(doc, "codepage", 932);
  const std::string name = SJ("給与太郎");
  const int kRows = 2000;  // several blocks
  std::vector<char> rec(PX_get_recordsize(doc));
  for (int i = 0; i < kRows; ++i) {
    std::fill(rec.begin(), rec.end(), 0);
    PX_put_data_long(doc, rec.data(), 4, i - 1000);
    PX_put_data_alpha(doc, rec.data() + 4, 20, const_cast<char*>(name.c_str()));
    PX_put_data_short(doc, rec.data() + 24, 2, static_cast<short>(i % 7 - 3));
    PX_put_data_long(doc, rec.data() + 26, 4, kDaysTo18991230 + i);
    PX_put_data_double(doc, rec.data() + 30, 8, i * 0.25 - 100);
    PX_put_data_byte(doc, rec.data() + 38, 1, static_cast<char>(i % 2));
    ASSERT_GE(PX_put_record(doc, rec.data()), 0);
  }
  PX_close(doc);
  PX_delete(doc);

  Table t(path);
  ASSERT_EQ(t.RecordCount(), static_cast<size_t>(kRows));
  EXPECT_EQ(t.header().code_page, 932);
  const auto rows = t.ReadAll();
  for (int i = 0; i < kRows; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rows[i][0], Value(int64_t{i - 1000}));
    EXPECT_EQ(rows[i][1], Value(name));
    EXPECT_EQ(rows[i][2], Value(int64_t{i % 7 - 3}));
    EXPECT_EQ(rows[i][3], Value(Date{kDaysTo18991230 + i}));
    EXPECT_EQ(rows[i][4], Value(i * 0.25 - 100));
    EXPECT_EQ(rows[i][5], Value(i % 2 == 1));
  }
}

TableDef OurDef(int keys, int block_size = 2048) {
  TableDef def;
  def.fields = {{"Key", FieldType::Long, 0},      {"Name", FieldType::Alpha, 30},
                {"Kubun", FieldType::Short, 0},   {"Birth", FieldType::Date, 0},
                {"Pay", FieldType::Money, 0},     {"Rate", FieldType::Number, 0},
                {"Flag", FieldType::Logical, 0},  {"Stamp", FieldType::Timestamp, 0},
                {"Serial", FieldType::AutoInc, 0}};
  def.key_field_count = keys;
  def.block_size = block_size;
  return def;
}

// Most records in one go, the last ten one by one.
void FillOurs(const std::filesystem::path& path, int rows) {
  TableWriter w(path);
  std::vector<std::vector<Value>> batch;
  for (int i = 0; i < rows; ++i) {
    const int key = (i * 7919) % rows;  // every key once, in scattered order
    Value name = i % 5 == 0 ? Value{} : Value(SJ("名前") + std::to_string(key));
    std::vector<Value> row{int64_t{key},
                           name,
                           int64_t{key % 100 - 50},
                           Date{kDaysTo18991230 + key},
                           key * 1.5,
                           -key / 3.0,
                           key % 2 == 0,
                           Timestamp{6.3e13 + key * 1000.0}};
    if (i < rows - 10)
      batch.push_back(std::move(row));
    else
      w.Append(row);
    if (i == rows - 11) w.AppendMany(batch);
  }
}

TEST(PxlibCrossTest, UnkeyedTablesOursWritesReadTheSameThroughPxlib) {
  test::TestDir dir;
  CreateTable(dir / "u.DB", OurDef(0));
  FillOurs(dir / "u.DB", 300);
  ExpectSameAsPxlib(dir / "u.DB");
}

TEST(PxlibCrossTest, KeyedTableAndItsIndexReadThroughPxlib) {
  test::TestDir dir;
  CreateTable(dir / "k.DB", OurDef(1, 1024));
  FillOurs(dir / "k.DB", 1500);  // 108 data blocks: more than one index block holds
  ExpectSameAsPxlib(dir / "k.DB");
  EXPECT_EQ(test::ReadFile(dir / "k.PX")[0x20], 2);  // two index levels

  PxDoc index(dir / "k.PX");
  PxDoc db(dir / "k.DB");
  ASSERT_TRUE(db.ok());
  ASSERT_TRUE(index.ok());
  ASSERT_EQ(PX_read_primary_index(index.get()), 0);
  // pxlib checks that the level-1 entries cover the table's records, then reads through them.
  testing::AttachedIndex attached(db, index);
  ASSERT_EQ(attached.result(), 0);
  std::vector<char> buf(PX_get_recordsize(db.get()));
  Table ours(dir / "k.DB");
  for (int r = 0; r < 1500; r += 97) {
    ASSERT_NE(PX_get_record(db.get(), r, buf.data()), nullptr);
    EXPECT_EQ(std::memcmp(buf.data(), ours.At(r).Raw().data(), buf.size()), 0) << r;
  }
}

TEST(PxlibCrossTest, AfterAFailedAppendPxlibStillReadsTheTable) {
  for (int step = 1; step <= 5; ++step) {
    SCOPED_TRACE(step);
    test::TestDir dir;
    CreateTable(dir / "f.DB", OurDef(1));
    FillOurs(dir / "f.DB", 120);
    {
      TableWriter w(dir / "f.DB");
      w.FailAfterStepForTesting(step);
      EXPECT_THROW(w.Append({int64_t{100000}, std::string("x")}), std::runtime_error);
    }
    ExpectSameAsPxlib(dir / "f.DB");
  }
}

}  // namespace
}  // namespace nc16::px

namespace nc16::px {
namespace {

// Appending to a Paradox 3 keyed table that Paradox wrote (a copy in a temporary folder): the
// record lands in key order, the file's free blocks are reused, and pxlib reads the result.
TEST(PxlibCrossTest, AppendToAParadox3TableOfParadoxItself) {
  NC16_NEEDS_FIXTURES();
  test::TestDir dir;
  for (const char* ext : {".DB", ".PX"})
    std::filesystem::copy_file(test::Fixture(std::string("paradoxreader/MTDEMO/FILMS") + ext),
                               dir / (std::string("FILMS") + ext));
  std::filesystem::permissions(dir / "FILMS.DB", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  std::filesystem::permissions(dir / "FILMS.PX", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  const size_t before = Table(dir / "FILMS.DB").RecordCount();
  {
    TableWriter w(dir / "FILMS.DB");
    EXPECT_EQ(w.header().version, 30);
    w.Append({std::string("A0999"), std::string("Inserted"), int64_t{1}});
    EXPECT_THROW(w.Append({std::string("A1001")}), ParadoxError);
  }
  Table t(dir / "FILMS.DB");
  ASSERT_EQ(t.RecordCount(), before + 1);
  EXPECT_EQ(t.At(0).Get(0), Value(std::string("A0999")));
  EXPECT_EQ(t.At(0).Get(1), Value(std::string("Inserted")));
  EXPECT_EQ(t.At(1).Get(0), Value(std::string("A1001")));
  ExpectSameAsPxlib(dir / "FILMS.DB");
  const std::string px = test::ReadFile(dir / "FILMS.PX");
  EXPECT_EQ(px[0x39], 3);  // the index keeps the table's version
  PxDoc index(dir / "FILMS.PX");
  ASSERT_TRUE(index.ok());
  EXPECT_EQ(PX_read_primary_index(index.get()), 0);
  testing::FreePxlibIndexKeys(index.get());
  // The file had a free block (5) and the chain was rewritten: no more blocks than before plus
  // the ones the new chain needed.
  EXPECT_LE(std::filesystem::file_size(dir / "FILMS.DB"),
            std::filesystem::file_size(test::Fixture("paradoxreader/MTDEMO/FILMS.DB")) + 5 * 1024);
}

}  // namespace
}  // namespace nc16::px
