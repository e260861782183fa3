// The batch's run over the data sets of a demo installation: outcomes in the list's order, each
// handed on once its file is in place, and a file that cannot be put in place a failure of its
// data set alone.

#include <gtest/gtest.h>

#include "app/flow/Batch.h"
#include "document/Texts.h"
#include "tests/flow/DataListFixture.h"

namespace nc16::test {
namespace {

namespace fs = std::filesystem;

class BatchRun : public DataListFixture {};

TEST_F(BatchRun, OutcomesComeInOrderEachOnceItsFileIsInPlace) {
  Messages shown;
  const std::vector<BatchDataSet> sets = ListDataSets(inst_.common_data_dir, shown);
  ASSERT_GE(sets.size(), 3u);
  testing::TempFolder out;
  BatchOptions options;
  options.OutputFolder = FromNativePath(out.Path());
  // The second data set's name is taken by a folder once its export is done and before its
  // file is put in place: while the first data set's outcome is handed on.
  const fs::path taken = out.Path() / (sets[1].Key + ".xml");

  std::vector<std::string> keys;
  std::vector<BatchOutcome> outcomes;
  RunDataSets(sets, options, [&](const BatchDataSet& set, BatchOutcome outcome) {
    if (outcome.Result == ExportResult::kWritten) {
      EXPECT_TRUE(fs::is_regular_file(NativePath(outcome.File))) << set.Key;
    }
    if (keys.empty()) fs::create_directory(taken);
    keys.push_back(set.Key);
    outcomes.push_back(std::move(outcome));
  });

  ASSERT_EQ(keys.size(), sets.size());
  for (size_t i = 0; i < sets.size(); ++i)
    EXPECT_EQ(keys[i], sets[i].Key);
  EXPECT_EQ(outcomes[0].Result, ExportResult::kWritten);
  EXPECT_EQ(outcomes[1].Result, ExportResult::kFailed);
  EXPECT_TRUE(outcomes[1].File.empty());
  EXPECT_NE(outcomes[1].Message.find(texts::FileFailed()), std::string::npos);
  EXPECT_NE(outcomes[1].Message.find(sets[1].Key + ".xml"), std::string::npos);
  EXPECT_EQ(outcomes[2].Result, RunDataSet(sets[2], options).Result);
  // Nothing but the files written and the folder in the way: no temporary file is left.
  for (const auto& entry : fs::directory_iterator(out.Path())) {
    EXPECT_EQ(entry.path().extension(), ".xml") << entry.path();
  }
  EXPECT_TRUE(fs::is_directory(taken));
}

}  // namespace
}  // namespace nc16::test
