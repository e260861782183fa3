// The database layer on a payroll data set of 10,000 employees:
//   - the extraction's employee query (data version 700005: mSyain joined with tFuyouSet,
//     tNenchoData, tHokenKoujo, tFuyouKoujo, mBumon, mPost, mSichou), opened on a fresh
//     connection (tables read from disk) and again on the same connection (tables kept);
//   - 100,000 Locate calls on the detail query (14 rows per employee).
// Usage: db_bench [--cpu] [data folder]. Without a folder the data set is written to a temporary
// folder first; with one, it is written there unless mSyain.db already exists.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "external/db/Db.h"
#include "tests/db/PayrollData.h"

namespace {

using namespace nc16::db;
using Clock = std::chrono::steady_clock;

constexpr int kEmployees = 10000;
constexpr int kLocates = 100000;
constexpr int kRuns = 7;

// Milliseconds of wall time, or with --cpu of the process's CPU time (steadier on a machine that
// other work shares).
bool g_cpu_time = false;
double Now() {
  if (g_cpu_time) {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
  }
  return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

struct Stats {
  double min = 0, median = 0;
};

Stats Summarise(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v.front(), v[v.size() / 2]};
}

void Connect(TDatabase& db, const std::string& folder) {
  db.SetDatabaseName("K2Data");
  db.SetDriverName("STANDARD");
  db.Params() = {"PATH=" + folder, "DEFAULT DRIVER=PARADOX", "ENABLE BCD=FALSE"};
  db.Open();
}

// Opens the employee query and reads a few columns of every row, as the extraction does.
int RunEmployeeQuery() {
  TQuery q;
  q.SetDatabaseName("K2Data");
  q.SQL() = nc16::db::testing::EmployeeQuery(700005);
  q.Prepare();
  q.Open();
  int64_t sum = 0;
  for (q.First(); !q.Eof(); q.Next()) {
    sum += q.FieldByName("SearchKey").AsInteger();
    sum += q.FieldByName("KazeiKyuyo").AsCurrency().units % 7;
    sum += static_cast<int64_t>(q.FieldByName("SyainNM").AsString().size());
  }
  if (sum == 42) std::puts("");  // keeps the reads
  return q.RecordCount();
}

void BenchEmployeeQuery(const std::string& folder, const char* label) {
  std::vector<double> cold, warm;
  int rows = 0;
  for (int run = 0; run < kRuns; ++run) {
    TDatabase db;
    Connect(db, folder);
    const auto t0 = Now();
    rows = RunEmployeeQuery();
    const auto t1 = Now();
    RunEmployeeQuery();
    const auto t2 = Now();
    cold.push_back((t1 - t0));
    warm.push_back((t2 - t1));
  }
  const Stats c = Summarise(cold), w = Summarise(warm);
  std::printf(
      "employee query, %-14s rows %d  fresh connection: min %6.1f ms  median %6.1f ms"
      "   tables kept: min %6.1f ms  median %6.1f ms\n",
      label, rows, c.min, c.median, w.min, w.median);
}

// What one export opens: the version, employee, family and detail queries on a fresh connection.
void BenchExport(const std::string& folder, const char* label) {
  std::vector<double> runs;
  for (int run = 0; run < kRuns; ++run) {
    const auto t0 = Now();
    TDatabase db;
    Connect(db, folder);
    TQuery version, family, detail;
    version.SetDatabaseName("K2Data");
    version.SQL() = {"SELECT Mkaisya.Version FROM \"mKaisya.DB\" Mkaisya"};
    version.Open();
    RunEmployeeQuery();
    family.SetDatabaseName("K2Data");
    family.SQL() = {"SELECT * FROM \"tFamily.db\" Tfamily", "ORDER BY Syain, GroupKbn, RowID"};
    family.Open();
    detail.SetDatabaseName("K2Data");
    detail.SQL() = {"SELECT * FROM \"tNenchoMeisai\" Tnencho",
                    "ORDER BY Syain, SikyuKbn, SikyuKai, InputKbn"};
    detail.Open();
    runs.push_back((Now() - t0));
  }
  const Stats s = Summarise(runs);
  std::printf("four queries of an export, %-14s min %6.1f ms  median %6.1f ms\n", label, s.min,
              s.median);
}

void BenchLocate(const std::string& folder, const char* label) {
  TDatabase db;
  Connect(db, folder);
  TQuery q;
  q.SetDatabaseName("K2Data");
  q.SQL() = {"SELECT * FROM \"tNenchoMeisai\" Tnencho",
             "ORDER BY Syain, SikyuKbn, SikyuKai, InputKbn"};
  q.Prepare();
  const auto t0 = Now();
  q.Open();
  const auto t1 = Now();

  // Two orders of the same kind of keys: as the salary and bonus sections ask for them (each
  // employee in turn: payment numbers 1 to 12, then 1 to 4, InputKbn 1 and then 0), and
  // scattered at random over the whole table.
  std::vector<std::vector<Variant>> in_order;
  in_order.reserve(kLocates + 40);
  for (int64_t k = 1; static_cast<int>(in_order.size()) < kLocates; k = k % kEmployees + 1) {
    for (int64_t kbn = 0; kbn < 2; ++kbn) {
      for (int64_t kai = 1; kai <= (kbn ? 4 : 12); ++kai) {
        for (int64_t input : {1, 0})
          in_order.push_back({k, kbn, kai, input});
      }
    }
  }
  in_order.resize(kLocates);
  std::mt19937 rng(7);
  auto pick = [&](int n) { return static_cast<int64_t>(rng() % static_cast<unsigned>(n)); };
  std::vector<std::vector<Variant>> scattered;
  scattered.reserve(kLocates);
  for (int i = 0; i < kLocates; ++i) {
    const int64_t kbn = pick(2);
    scattered.push_back({1 + pick(kEmployees), kbn, 1 + pick(kbn ? 4 : 12), pick(2)});
  }

  const char* fields = "Syain;SikyuKbn;SikyuKai;InputKbn";
  const auto t2 = Now();
  q.Locate(fields, in_order[0]);  // builds the index
  const auto t3 = Now();
  std::printf("detail query, %-14s rows %d  open %.1f ms  index build %.1f ms\n", label,
              q.RecordCount(), (t1 - t0), (t3 - t2));
  for (const auto* keys : {&in_order, &scattered}) {
    int found = 0;
    std::vector<double> runs;
    for (int run = 0; run < kRuns; ++run) {
      found = 0;
      const auto a = Now();
      for (const auto& k : *keys)
        found += q.Locate(fields, k) ? 1 : 0;
      runs.push_back((Now() - a));
    }
    const Stats s = Summarise(runs);
    std::printf("    %d Locates, %-17s min %6.2f ms  median %6.2f ms  (%d found)\n", kLocates,
                keys == &in_order ? "extraction order:" : "scattered keys:", s.min, s.median,
                found);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<nc16::db::testing::TempFolder> temp;
  std::string folder;
  if (argc > 1 && std::string(argv[1]) == "--cpu") {
    g_cpu_time = true;
    --argc;
    ++argv;
  }
  if (argc > 1) {
    folder = argv[1];
    std::filesystem::create_directories(folder);
  } else {
    temp = std::make_unique<nc16::db::testing::TempFolder>();
    folder = temp->str();
  }
  try {
    if (!std::filesystem::exists(std::filesystem::path(folder) / "mSyain.db")) {
      nc16::db::testing::DataSetShape shape;
      shape.employees = kEmployees;
      shape.details_per_employee = 14;
      const auto t0 = Now();
      nc16::db::testing::WriteDataSet(folder, shape);
      std::printf("data set of %d employees written in %.1f s\n", kEmployees, (Now() - t0) / 1000);
    }
    BenchEmployeeQuery(folder, "virtual tables");
    BenchExport(folder, "virtual tables");
    BenchLocate(folder, "virtual tables");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "db_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
