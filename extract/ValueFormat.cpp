#include "extract/ValueFormat.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace nc16 {
namespace {

constexpr std::chrono::sys_days kZeroDate{std::chrono::year{1899} / 12 / 30};

int64_t RoundToWhole(db::Currency amount) {
  int64_t whole = amount.units / 10000;
  int64_t rest = amount.units % 10000;  // same sign as units
  if (rest >= 5000) ++whole;
  if (rest <= -5000) --whole;
  return whole;
}

}  // namespace

std::string FormatAmount0(db::Currency amount) {
  return std::to_string(RoundToWhole(amount));
}

std::string FormatAmount(db::Currency amount) {
  int64_t whole = RoundToWhole(amount);
  return whole == 0 ? std::string() : std::to_string(whole);
}

std::string FormatDate(db::TDateTime date) {
  if (!(date > 0) || !std::isfinite(date) || date > 2958465) return {};  // up to 9999-12-31
  std::chrono::year_month_day ymd{kZeroDate + std::chrono::days{static_cast<int>(date)}};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02u%02u", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return buf;
}

db::TDateTime EncodeDate(int year, int month, int day) {
  std::chrono::sys_days d{std::chrono::year{year} / month / day};
  return static_cast<db::TDateTime>((d - kZeroDate).count());
}

}  // namespace nc16
