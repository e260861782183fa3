#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
#include <map>
#include <set>

#include "document/DataExportInfo.h"
#include "external/paradox/ParadoxTable.h"
#include "external/vnprotect/VnProtect.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/tools/DemoTestSupport.h"
#include "tools/demo/PayrollSchema.h"

namespace nc16::demo {
namespace {

using test::GeneratedFor;
using test::TableFileIn;

// Every file under `root`, by relative path, with its bytes.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.is_regular_file())
      files[std::filesystem::relative(e.path(), root).string()] = testing::ReadFile(e.path());
  return files;
}

DemoOptions SmallOptions(const testing::TempFolder& tmp, uint64_t seed) {
  DemoOptions o;
  o.root = FromNativePath(tmp.Path() / "r");
  o.employees = 30;
  o.seed = seed;
  return o;
}

TEST(DemoInstallation, TheSameSeedGivesByteIdenticalFiles) {
  testing::TempFolder tmp;
  DemoOptions options = SmallOptions(tmp, 42);
  CreateDemoInstallation(options);
  const auto first = Snapshot(tmp.Path());
  ASSERT_GT(first.size(), 60u);

  EXPECT_THROW(CreateDemoInstallation(options), std::runtime_error);  // never overwritten...
  options.replace = true;                                             // ...unless asked
  CreateDemoInstallation(options);
  EXPECT_EQ(Snapshot(tmp.Path()), first);

  options.seed = 43;
  CreateDemoInstallation(options);
  const auto other = Snapshot(tmp.Path());
  const std::string syain = "r/common/vantrel/MILVEKKYUYO/DB/DAT001/mSyain.DB";
  EXPECT_NE(other.at(syain), first.at(syain));
  EXPECT_EQ(other.at("r/common/vantrel/MILVEKKYUYO/mGengo.db"),
            first.at("r/common/vantrel/MILVEKKYUYO/mGengo.db"));
}

TEST(DemoInstallation, OptionsOutOfRangeAreRefused) {
  testing::TempFolder tmp;
  DemoOptions o = SmallOptions(tmp, 1);
  o.data_version = 20348;
  EXPECT_THROW(CreateDemoInstallation(o), std::invalid_argument);
  o.data_version = 700006;
  EXPECT_THROW(CreateDemoInstallation(o), std::invalid_argument);
  o.data_version = 700005;
  o.employees = -1;
  EXPECT_THROW(CreateDemoInstallation(o), std::invalid_argument);
  o.employees = 30;
  o.data_sets = kMaxExtraDataSets + 1;
  EXPECT_THROW(CreateDemoInstallation(o), std::invalid_argument);
  EXPECT_FALSE(std::filesystem::exists(tmp.Path() / "r"));
}

TEST(DemoInstallation, FewerEmployeesThanHandMadeCasesTakesTheFirstCases) {
  testing::TempFolder tmp;
  DemoOptions o = SmallOptions(tmp, 1);
  o.employees = 3;
  const DemoInstallation inst = CreateDemoInstallation(o);
  EXPECT_EQ(inst.data_sets[0].employees, 3);
  EXPECT_EQ(px::Table(TableFileIn(inst.data_sets[0].folder, "mSyain.DB")).RecordCount(), 3u);
}

TEST(DemoInstallation, GeneratedDataSetsHaveNamesOfTheirOwnAndAboutTheSizeAsked) {
  testing::TempFolder tmp;
  DemoOptions o = SmallOptions(tmp, 1);
  o.data_sets = 12;
  const DemoInstallation inst = CreateDemoInstallation(o);
  ASSERT_EQ(inst.data_sets.size(), 17u);
  std::set<std::string> names;
  for (const DemoDataSet& d : inst.data_sets) {
    names.insert(d.company);
    if (d.number <= 5) continue;
    EXPECT_EQ(d.folder, inst.common_data_dir + "/DB/DAT0" + std::to_string(d.number / 10) +
                            std::to_string(d.number % 10));
    EXPECT_GE(d.employees, 24) << d.number;
    EXPECT_LE(d.employees, 36) << d.number;
    EXPECT_EQ(px::Table(TableFileIn(d.folder, "mSyain.DB")).RecordCount(),
              static_cast<size_t>(d.employees));
  }
  EXPECT_EQ(names.size(), inst.data_sets.size());
}

class DemoTablesByVersion : public ::testing::TestWithParam<int> {};

// Field names and types in table order, as the schema defines them for the version.
void ExpectColumns(const std::string& folder, std::string_view table, int version) {
  const px::Table t(NativePath(folder) / Schema(table).file_name);
  const px::TableDef def = TableDefFor(table, version);
  ASSERT_EQ(t.fields().size(), def.fields.size()) << table << " at " << version;
  for (size_t i = 0; i < def.fields.size(); ++i) {
    EXPECT_EQ(t.fields()[i].name, def.fields[i].name) << table << " field " << i;
    EXPECT_EQ(t.fields()[i].type, def.fields[i].type) << table << " field " << i;
  }
  EXPECT_EQ(t.header().key_field_count, def.key_field_count) << table;
  EXPECT_EQ(t.header().code_page, 932) << table;
}

TEST_P(DemoTablesByVersion, EveryTableReadsBackWithTheColumnsOfItsVersion) {
  const int version = GetParam();
  const DemoInstallation& inst = GeneratedFor(version).installation;
  ASSERT_EQ(inst.data_sets.size(), 5u);
  for (const DemoDataSet& d : inst.data_sets) {
    SCOPED_TRACE(d.folder);
    EXPECT_EQ(d.version, d.number == 5 ? 20348 : version);
    for (std::string_view table : DataSetTables())
      ExpectColumns(d.folder, table, d.version);

    const px::Table company(TableFileIn(d.folder, "mKaisya.db"));
    ASSERT_EQ(company.RecordCount(), 1u);
    EXPECT_EQ(company.At(0).GetInteger(company.FieldIndex("Version")), d.version);
    EXPECT_EQ(company.At(0).GetInteger(company.FieldIndex("SyoriNen")), 2024);
    EXPECT_EQ(company.At(0).AlphaView(company.FieldIndex("KaisyaMei")), d.company);
    EXPECT_EQ(company.FieldIndex("MNUse") >= 0, d.version >= 600001);

    const px::Table syain(TableFileIn(d.folder, "mSyain.DB"));
    EXPECT_EQ(syain.RecordCount(), static_cast<size_t>(d.employees));
    EXPECT_EQ(px::Table(TableFileIn(d.folder, "tMNLog.DB")).RecordCount(), 0u);
  }
  EXPECT_EQ(inst.data_sets[0].employees, test::kTestEmployees);
  EXPECT_GT(px::Table(TableFileIn(inst.data_sets[0].folder, "tNenchoMeisai.DB")).RecordCount(),
            static_cast<size_t>(test::kTestEmployees * 8));
}

INSTANTIATE_TEST_SUITE_P(DataVersions, DemoTablesByVersion,
                         ::testing::Values(20349, 300002, 300003, 500002, 600001, 700001, 700005));

TEST(DemoCommonData, TheDataListHas200RowsWithTheDataSetsAndPlaceholders) {
  const DemoInstallation& inst = GeneratedFor(700005).installation;
  const px::Table list(NativePath(inst.common_data_dir) / "db" / "mDataList.db");
  const std::vector<std::string> expected_fields = {
      "SearchKey", "KaisyaCode", "OPcode", "Content",  "Password1", "GengoKubun", "SyoriNen",
      "SyoriTuki", "SyoriKai",   "DatKbn", "MailKbn",  "SyoninKbn", "Soujyu1",    "Soujyu2",
      "Soujyu3",   "Soujyu4",    "Holder", "HolderNo", "NendoNo"};
  ASSERT_EQ(list.fields().size(), expected_fields.size());
  for (size_t i = 0; i < expected_fields.size(); ++i)
    EXPECT_EQ(list.fields()[i].name, expected_fields[i]);
  EXPECT_EQ(list.fields()[3].size, 40);
  EXPECT_EQ(list.fields()[16].size, 255);
  EXPECT_EQ(list.header().key_field_count, 1);

  ASSERT_EQ(list.RecordCount(), 200u);
  const std::string placeholder = "\xFF" + SJ("未使用");
  ASSERT_EQ(placeholder.size(), 7u);
  for (size_t i = 0; i < 200; ++i) {
    const px::Record r = list.At(i);
    const int key = static_cast<int>(i) + 1;
    char folder[16];
    std::snprintf(folder, sizeof folder, "/DB/DAT%03d", key);
    EXPECT_EQ(r.GetInteger(0), key);
    EXPECT_EQ(r.AlphaView(16), inst.common_data_dir + folder) << key;
    EXPECT_EQ(r.GetInteger(17), key);
    EXPECT_TRUE(r.IsNull(18));
    EXPECT_FALSE(std::get<bool>(r.Get(10)));
    if (key <= 5) {
      EXPECT_EQ(r.AlphaView(3), inst.data_sets[i].company);
      EXPECT_EQ(r.GetInteger(6), 2024);
      EXPECT_EQ(r.GetInteger(7), 12);
      EXPECT_EQ(r.GetInteger(9), 0);
      EXPECT_TRUE(std::filesystem::is_directory(NativePath(r.AlphaView(16))));
    } else {
      EXPECT_EQ(r.AlphaView(3), placeholder) << key;
      EXPECT_TRUE(r.IsNull(1));
      for (int f : {5, 6, 7, 8, 12, 13, 14, 15})
        EXPECT_EQ(r.GetInteger(f), 0) << key;
      EXPECT_EQ(r.GetInteger(9), -1);
    }
  }
}

TEST(DemoCommonData, TheEraTableHoldsTheFiveEras) {
  const DemoInstallation& inst = GeneratedFor(700005).installation;
  const px::Table eras(NativePath(inst.common_data_dir) / "mGengo.db");
  const std::vector<std::tuple<std::string, int, int, int>> expected = {{"明治", 1868, 1912, 1867},
                                                                        {"大正", 1912, 1926, 1911},
                                                                        {"昭和", 1926, 1989, 1925},
                                                                        {"平成", 1989, 2019, 1988},
                                                                        {"令和", 2019, 0, 2018}};
  ASSERT_EQ(eras.RecordCount(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    const px::Record r = eras.At(i);
    EXPECT_EQ(r.GetInteger(0), static_cast<int64_t>(i) + 1);
    EXPECT_EQ(Cp932ToUtf8(r.AlphaView(eras.FieldIndex("GengoMei"))), std::get<0>(expected[i]));
    EXPECT_EQ(r.GetInteger(eras.FieldIndex("StartNen")), std::get<1>(expected[i]));
    EXPECT_EQ(r.GetInteger(eras.FieldIndex("EndNen")), std::get<2>(expected[i]));
    EXPECT_EQ(r.GetInteger(eras.FieldIndex("HoseiNen")), std::get<3>(expected[i]));
  }
}

TEST(DemoCommonData, TheExportSettingsFindTheInstallation) {
  const DemoInstallation& inst = GeneratedFor(700005).installation;
  testing::ScopedEnv registry("NC16_REGISTRY", NativePath(inst.registry_file).string());
  testing::ScopedEnv common("NC16_COMMON_APPDATA", NativePath(inst.common_appdata).string());
  EXPECT_EQ(inst.root_dir.back(), '/');
  EXPECT_EQ(
      platform::ReadMachineRegistryString("SOFTWARE\\VANTREL\\MILVEKKYUYO070", "RootDir").Value,
      inst.root_dir);

  TDataExportInfo info("", "", 0, Remembering::kNothing);
  EXPECT_EQ(info.DataRoot, inst.data_root);
  EXPECT_TRUE(platform::DirectoryExists(info.DataRoot + "/Initdat"));
  EXPECT_EQ(info.SourceVersion, "701002");
  EXPECT_GE(std::stoi(info.SourceVersion), std::stoi(info.MinSourceVersion));
  EXPECT_EQ(info.CommonDataDir, inst.common_data_dir);
}

TEST(DemoCommonData, ShellExportsQuoteThePaths) {
  DemoInstallation inst;
  inst.registry_file = "/a b/it's/registry.ini";
  inst.common_appdata = "/a b/common";
  EXPECT_EQ(ShellExports(inst),
            "export NC16_REGISTRY='/a b/it'\\''s/registry.ini'\n"
            "export NC16_COMMON_APPDATA='/a b/common'\n");
}

bool ValidIndividualNumber(const std::string& n) {
  if (n.size() != 12 || n.find_first_not_of("0123456789") != std::string::npos) return false;
  int sum = 0;
  for (int i = 1; i <= 11; ++i)
    sum += (n[static_cast<size_t>(11 - i)] - '0') * (i <= 6 ? i + 1 : i - 5);
  const int check = sum % 11 <= 1 ? 0 : 11 - sum % 11;
  return n[11] - '0' == check;
}

TEST(DemoMyNumber, StoredNumbersAndThePasswordDecode) {
  const DemoInstallation& inst = GeneratedFor(700005).installation;
  const DemoDataSet& with = inst.data_sets[0];
  const DemoDataSet& without = inst.data_sets[1];
  ASSERT_TRUE(with.my_number);
  ASSERT_FALSE(without.my_number);

  const px::Table company(TableFileIn(with.folder, "mKaisya.db"));
  EXPECT_TRUE(std::get<bool>(company.At(0).Get(company.FieldIndex("MNUse"))));
  const std::string_view stored_pw = company.At(0).AlphaView(company.FieldIndex("MNPW"));
  EXPECT_NE(stored_pw, kDemoMyNumberPassword);
  EXPECT_EQ(DecodeStoredValue(stored_pw), kDemoMyNumberPassword);

  int numbers = 0;
  for (const char* table : {"mSyain.DB", "tFamily.DB"}) {
    const px::Table t(TableFileIn(with.folder, table));
    const int mnum = t.FieldIndex("MNum");
    t.ForEach([&](const px::Record& r) {
      if (r.IsNull(mnum)) return;
      ++numbers;
      EXPECT_TRUE(ValidIndividualNumber(DecodeStoredValue(r.AlphaView(mnum))));
    });
  }
  EXPECT_GT(numbers, test::kTestEmployees);

  const px::Table other(TableFileIn(without.folder, "mKaisya.db"));
  EXPECT_FALSE(std::get<bool>(other.At(0).Get(other.FieldIndex("MNUse"))));
  EXPECT_TRUE(other.At(0).IsNull(other.FieldIndex("MNPW")));
  const px::Table staff(TableFileIn(without.folder, "mSyain.DB"));
  staff.ForEach([&](const px::Record& r) { EXPECT_TRUE(r.IsNull(staff.FieldIndex("MNum"))); });
}

// The command as a shell runs it: stdout holds exactly the lines for eval.
int RunShell(const std::string& command, std::string* out) {
  FILE* p = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (!p) return -1;
  char buf[512];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0)
    out->append(buf, n);
  const int status = ::pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DemoCommand, PrintsTheEnvironmentAndRefusesBadUse) {
  testing::TempFolder tmp;
  const std::string root = (tmp.Path() / "cli").string();
  std::string out;
  ASSERT_EQ(
      RunShell(std::string(NC16_CLI) + " demo-data --root '" + root + "' --employees 5 --seed 3",
               &out),
      0);
  EXPECT_EQ(out, "export NC16_REGISTRY='" + root + "/registry.ini'\nexport NC16_COMMON_APPDATA='" +
                     root + "/common'\n");
  EXPECT_TRUE(std::filesystem::exists(root + "/vantrel/MILVEKKYUYO16/Initdat/Version.ini"));

  std::string ignored;
  EXPECT_EQ(RunShell(std::string(NC16_CLI) + " demo-data --root '" + root + "'", &ignored), 1);
  EXPECT_EQ(RunShell(std::string(NC16_CLI) + " demo-data --root '" + root + "' --force", &ignored),
            0);
  EXPECT_EQ(RunShell(std::string(NC16_CLI) + " demo-data --root x --data-version 20348", &ignored),
            2);
  EXPECT_EQ(RunShell(std::string(NC16_CLI) + " demo-data --root x --employees many", &ignored), 2);
  EXPECT_EQ(RunShell(std::string(NC16_CLI) + " demo-data", &ignored), 2);
}

}  // namespace
}  // namespace nc16::demo
