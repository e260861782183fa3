// The tables the demo generator writes in bulk, read by Debian's pxlib as an independent reader:
// the records and the primary index must be what a Paradox reader expects.

#include <gtest/gtest.h>
extern "C" {
#include <paradox.h>
}

#include <cstdio>
#include <cstring>
#include <vector>

#include "external/paradox/ParadoxTable.h"
#include "platform/Cp932.h"
#include "tests/paradox/PxlibDoc.h"
#include "tests/platform/TempFolder.h"
#include "tools/demo/DemoInstallation.h"
#include "tools/demo/DemoTableFile.h"
#include "tools/demo/PayrollSchema.h"

namespace nc16::demo {
namespace {

using testing::PxDoc;

// pxlib takes the primary index for the table: its entries cover exactly the table's records.
void ExpectIndexAccepted(const std::filesystem::path& db_file) {
  SCOPED_TRACE(db_file.string());
  PxDoc db(db_file);
  PxDoc index(std::filesystem::path(db_file).replace_extension(".PX"));
  ASSERT_TRUE(db.ok());
  ASSERT_TRUE(index.ok());
  ASSERT_EQ(PX_read_primary_index(index.get()), 0);
  testing::AttachedIndex attached(db, index);
  EXPECT_EQ(attached.result(), 0);
}

TEST(DemoPxlib, EveryKeyedTableOfAnInstallationHasAnIndexPxlibTakes) {
  testing::TempFolder tmp;
  DemoOptions options;
  options.root = FromNativePath(tmp.Path() / "r");
  options.employees = 300;
  const DemoInstallation inst = CreateDemoInstallation(options);
  for (const DemoDataSet& d : inst.data_sets)
    for (std::string_view table : DataSetTables())
      if (Schema(table).key_columns > 0 &&
          px::Table(NativePath(d.folder) / Schema(table).file_name).RecordCount() > 0)
        ExpectIndexAccepted(NativePath(d.folder) / Schema(table).file_name);
  ExpectIndexAccepted(NativePath(inst.common_data_dir) / "db" / "mDataList.db");
  ExpectIndexAccepted(NativePath(inst.common_data_dir) / "mGengo.db");
}

TEST(DemoPxlib, BulkWrittenTableAndItsIndexReadThroughPxlib) {
  testing::TempFolder tmp;
  const std::string folder = FromNativePath(tmp.Path());
  constexpr int kEmployees = 3000;  // 36,000 records in 319 blocks: two index levels
  {
    TableFile t(folder, "tNenchoMeisai", 700005);
    for (int e = 1; e <= kEmployees; ++e)
      for (int kai = 1; kai <= 12; ++kai) {
        t.SetInt("Syain", e);
        t.SetInt("SikyuKbn", 0);
        t.SetInt("SikyuKai", kai);
        t.SetInt("InputKbn", 1);
        t.SetMoney("KazeiSikyu", e + kai / 4.0);
        t.Add();
      }
    t.Finish();
  }
  const auto db_file = tmp.Path() / "tNenchoMeisai.DB";
  EXPECT_EQ(testing::ReadFile(tmp.Path() / "tNenchoMeisai.PX")[0x20], 2);
  const px::Table ours(db_file);
  PxDoc db(db_file);
  ASSERT_TRUE(db.ok());
  ASSERT_EQ(PX_get_num_records(db.get()), static_cast<int>(ours.RecordCount()));
  std::vector<char> buf(static_cast<size_t>(PX_get_recordsize(db.get())));
  for (int r = 0; r < PX_get_num_records(db.get()); r += 7) {
    ASSERT_NE(PX_get_record(db.get(), r, buf.data()), nullptr) << r;
    ASSERT_EQ(std::memcmp(buf.data(), ours.At(static_cast<size_t>(r)).Raw().data(), buf.size()), 0)
        << r;
  }

  PxDoc index(tmp.Path() / "tNenchoMeisai.PX");
  ASSERT_TRUE(index.ok());
  ASSERT_EQ(PX_read_primary_index(index.get()), 0);
  // pxlib checks that the index entries cover the table's records before it uses them.
  testing::AttachedIndex attached(db, index);
  EXPECT_EQ(attached.result(), 0);
  for (int r = 0; r < PX_get_num_records(db.get()); r += 997) {
    ASSERT_NE(PX_get_record(db.get(), r, buf.data()), nullptr) << r;
    EXPECT_EQ(std::memcmp(buf.data(), ours.At(static_cast<size_t>(r)).Raw().data(), buf.size()), 0)
        << r;
  }
}

}  // namespace
}  // namespace nc16::demo
