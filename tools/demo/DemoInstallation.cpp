#include "tools/demo/DemoInstallation.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <stdexcept>

#include "external/vnprotect/VnProtect.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tools/demo/DemoCommonData.h"
#include "tools/demo/DemoMasters.h"
#include "tools/demo/DemoNames.h"
#include "tools/demo/DemoPopulation.h"
#include "tools/demo/DemoTableFile.h"

namespace nc16::demo {
namespace {

namespace fs = std::filesystem;

std::string Join(const std::string& folder, const std::string& name) {
  return folder + std::string(platform::kPathSeparator) + name;
}

// A data set that the export cannot take: older than the lowest version it supports.
constexpr int kOldDataVersion = 20348;

struct Plan {
  DemoDataSet set;
  enum Kind { kMain, kPlain, kFaults, kEmpty, kGenerated } kind = kMain;
  int size = 0;  // employees of a generated data set
};

// A company name that no earlier data set has: a family name, a trade and a legal form.
std::string CompanyName(DemoRandom& rng, const std::vector<Plan>& plans) {
  static constexpr std::array<const char*, 16> kTrades = {
      "商事", "工業", "建設",   "運輸", "食品", "電機", "印刷",     "不動産",
      "設計", "薬局", "製作所", "物産", "興業", "技研", "システム", "サービス"};
  for (int attempt = 0;; ++attempt) {
    std::string name = PickFamilyName(rng).name + Utf8ToCp932(kTrades[rng.Below(kTrades.size())]);
    if (rng.Percent(70))
      name = SJ("株式会社") + name;
    else
      name += Utf8ToCp932(rng.Percent(50) ? "有限会社" : "合同会社");
    if (attempt > 20) name += std::to_string(plans.size() + 1);
    bool taken = std::any_of(plans.begin(), plans.end(),
                             [&](const Plan& p) { return p.set.company == name; });
    if (!taken) return name;
  }
}

void WriteCompany(const DemoDataSet& d, const std::string& code) {
  TableFile t(d.folder, "mKaisya", d.version);
  t.SetText("KaisyaCD", code);
  t.SetText("KaisyaMei", d.company);
  t.SetInt("SyoriNen", kDemoYear);
  t.SetInt("SyoriTuki", 12);
  t.SetInt("Version", d.version);
  t.SetBool("MNUse", d.my_number);
  if (d.my_number) t.SetText("MNPW", EncodeStoredValue(kDemoMyNumberPassword));
  t.Add();
  t.Finish();
}

// Writes the data set's employee tables; returns the number of employees.
int WriteEmployees(const Plan& plan, const DemoOptions& options) {
  const DemoDataSet& d = plan.set;
  PopulationOptions population;
  population.seed = options.seed ^ (static_cast<uint64_t>(d.number) << 56);
  population.individual_numbers = d.my_number;
  EmployeeTables tables(d.folder, d.version);
  int count = 0;
  switch (plan.kind) {
    case Plan::kMain: {
      std::vector<Employee> cases = CleanCases(population);
      for (const Employee& e : cases) {
        if (count == options.employees) break;
        tables.Write(e);
        ++count;
      }
      for (int key = count + 1; key <= options.employees; ++key, ++count)
        tables.Write(OrdinaryEmployee(population, key));
      break;
    }
    case Plan::kPlain: {
      const int n = std::clamp(options.employees / 10, 5, 500);
      for (int key = 1; key <= n; ++key, ++count)
        tables.Write(OrdinaryEmployee(population, key));
      break;
    }
    case Plan::kFaults: {
      std::vector<Employee> cases = FaultyCases(population);
      for (const Employee& e : cases)
        tables.Write(e);
      count = static_cast<int>(cases.size());
      // A deduction row whose employee was deleted: the outer join meets it without an employee.
      tables.WriteOrphanHokenKoujo(count + 100, SJ("ｻｸｼﾞｮｽﾞﾐ"));
      break;
    }
    case Plan::kEmpty:
      break;
    case Plan::kGenerated:
      for (int key = 1; key <= plan.size; ++key, ++count)
        tables.Write(OrdinaryEmployee(population, key));
      break;
  }
  tables.Finish();
  return count;
}

void CheckOptions(const DemoOptions& o) {
  if (o.root.empty()) throw std::invalid_argument("no root folder given");
  if (o.employees < 0 || o.employees > 1000000)
    throw std::invalid_argument("employees must lie between 0 and 1000000");
  if (o.data_sets < 0 || o.data_sets > kMaxExtraDataSets)
    throw std::invalid_argument("data sets must lie between 0 and " +
                                std::to_string(kMaxExtraDataSets));
  if (o.data_version < kMinDemoDataVersion || o.data_version > kMaxDemoDataVersion)
    throw std::invalid_argument("data version must lie between " +
                                std::to_string(kMinDemoDataVersion) + " and " +
                                std::to_string(kMaxDemoDataVersion));
}

// Everything the payroll product made in upper case; the installation's paths follow.
void UpperCaseWindowsCopy(DemoInstallation& inst) {
  auto upper_below = [](const std::string& parent, std::string path) {
    for (size_t i = parent.size(); i < path.size(); ++i)
      if (path[i] >= 'a' && path[i] <= 'z') path[i] = static_cast<char>(path[i] - 32);
    return path;
  };
  UpperCaseNames(Join(inst.root, "vantrel"));
  UpperCaseNames(Join(inst.common_appdata, "vantrel"));
  inst.data_root = upper_below(inst.root, inst.data_root);
  inst.common_data_dir = upper_below(inst.common_appdata, inst.common_data_dir);
  for (DemoDataSet& d : inst.data_sets)
    d.folder = upper_below(inst.common_appdata, d.folder);
}

}  // namespace

DemoInstallation CreateDemoInstallation(const DemoOptions& options) {
  CheckOptions(options);
  DemoInstallation inst;
  inst.root = FromNativePath(fs::absolute(NativePath(options.root)).lexically_normal());
  while (inst.root.size() > 1 && inst.root.back() == platform::kPathSeparator.front())
    inst.root.pop_back();
  inst.registry_file = Join(inst.root, "registry.ini");
  inst.common_appdata = Join(inst.root, "common");
  inst.root_dir = Join(inst.root, "vantrel") + std::string(platform::kPathSeparator);
  inst.data_root = inst.root_dir + "MILVEKKYUYO16";
  inst.common_data_dir = Join(Join(inst.common_appdata, "vantrel"), "MILVEKKYUYO");
  inst.my_number_password = kDemoMyNumberPassword;

  // Only what this generator makes is ever removed.
  const std::vector<std::string> ours = {
      inst.registry_file, Join(inst.root, "vantrel"), Join(inst.common_appdata, "vantrel"),
      Join(inst.root, "VANTREL"), Join(inst.common_appdata, "VANTREL")};
  for (const std::string& path : ours) {
    std::error_code ec;
    if (!fs::exists(NativePath(path), ec)) continue;
    if (!options.replace)
      throw std::runtime_error(path + SJ(" が既にあります（--force で作り直します）"));
    fs::remove_all(NativePath(path));
  }

  const bool my_number = options.data_version >= 600001;
  const int v = options.data_version;
  std::vector<Plan> plans = {
      {{1, "", SJ("株式会社ミルベク商事"), SJ("主データ（全分岐・エラーなし）"), v, 0, my_number},
       Plan::kMain},
      {{2, "", SJ("有限会社ゾルテ工業"), SJ("マイナンバー未使用の会社"), v, 0, false},
       Plan::kPlain},
      {{3, "", SJ("エラー確認用"), SJ("検証エラーのある社員"), v, 0, my_number}, Plan::kFaults},
      {{4, "", SJ("社員未登録の会社"), SJ("社員なし"), v, 0, false}, Plan::kEmpty},
      {{5, "", SJ("旧バージョンのデータ"), SJ("コンバート前（連動不可）"), kOldDataVersion, 0,
        false},
       Plan::kEmpty},
  };

  for (int i = 0; i < options.data_sets; ++i) {
    const int number = static_cast<int>(plans.size()) + 1;
    DemoRandom rng = DemoRandom::Stream(options.seed, 0x10000 + static_cast<uint64_t>(number));
    Plan plan{{number, "", CompanyName(rng, plans), SJ("生成した会社"), v, 0,
               my_number && rng.Percent(50)},
              Plan::kGenerated};
    // About the size asked for: within a fifth of it either way, at least one employee.
    const int spread = options.employees / 5;
    plan.size = std::max(1, options.employees + static_cast<int>(rng.Between(-spread, spread)));
    plans.push_back(std::move(plan));
  }

  fs::create_directories(NativePath(Join(inst.data_root, "Initdat")));
  // On Windows "db" and "DB" are one folder, which a copy from there has once.
  fs::create_directories(
      NativePath(Join(inst.common_data_dir, options.windows_copy ? "DB" : "db")));
  WriteRegistry(inst.registry_file, inst.root_dir);
  WriteVersionIni(Join(inst.data_root, "Initdat"));
  WriteEraTable(inst.common_data_dir);

  for (Plan& plan : plans) {
    DemoDataSet& d = plan.set;
    d.folder = DataSetFolder(inst.common_data_dir, d.number);
    d.holder = options.windows_copy ? WindowsHolder(d.number) : d.folder;
    fs::create_directories(NativePath(d.folder));
    char code[8];
    std::snprintf(code, sizeof code, "%.4d", d.number);
    WriteCompany(d, code);
    WriteMasters(d.folder, d.version);
    d.employees = WriteEmployees(plan, options);
    TableFile(d.folder, "tMNLog", d.version).Finish();
    inst.data_sets.push_back(d);
  }
  WriteDataList(inst.common_data_dir, inst.data_sets, kDemoYear, options.windows_copy);
  if (options.windows_copy) UpperCaseWindowsCopy(inst);
  return inst;
}

std::string ShellExports(const DemoInstallation& inst) {
  auto quote = [](const std::string& cp932) {
    std::string native = NativePath(cp932).string();
    std::string out = "'";
    for (char c : native) {
      if (c == '\'')
        out += "'\\''";
      else
        out += c;
    }
    return out + "'";
  };
  return "export NC16_REGISTRY=" + quote(inst.registry_file) + "\n" +
         "export NC16_COMMON_APPDATA=" + quote(inst.common_appdata) + "\n";
}

}  // namespace nc16::demo
