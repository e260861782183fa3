#pragma once
// The employees of the demo data sets: ordinary employees drawn at random, and the hand-made
// cases that take every branch of the export (kept clean in the main data set, and with every
// validation fault in a data set of their own).

#include <cstdint>
#include <vector>

#include "tools/demo/DemoEmployee.h"
#include "tools/demo/DemoRandom.h"

namespace nc16::demo {

// The year the demo payroll data belong to.
inline constexpr int kDemoYear = 2024;

struct PopulationOptions {
  uint64_t seed = 1;
  bool individual_numbers = true;  // store individual numbers (companies that use My Number)
};

// An ordinary employee with key `key`: family, a year of salary and bonus payments and the
// year-end figures that add them up.
Employee OrdinaryEmployee(const PopulationOptions& options, int key);

// A salary (kind 0) or bonus (kind 1) payment of `gross` with a rough withholding.
Payment MakePayment(int kind, int number, double gross, int dependants);

// Recomputes the year-end sums of tNenchoData from the payments (rows of input kind 1 taken in
// preference to 0, as the export takes them) and the previous employer's figures.
void SumPayments(Employee& e);

// The hand-made cases of the main data set, keys from 1: every branch of the export, none of
// which fails validation. Two of them are left out of the export by its joins (no year-end
// row; a department key without a master row).
std::vector<Employee> CleanCases(const PopulationOptions& options);

// The cases that fail validation, with a clean employee among them, keys from 1.
std::vector<Employee> FaultyCases(const PopulationOptions& options);

}  // namespace nc16::demo
