#pragma once
// How the employee part of the intermediate file writes values: amounts in the number formats
// "#0" and "#", dates as YYYYMMDD.

#include <string>

#include "external/db/Db.h"

namespace nc16 {

// "#0": rounded to a whole number, halves away from zero, no separators, "-" when negative,
// "0" for zero.
std::string FormatAmount0(db::Currency amount);

// "#": as "#0", but empty text when the rounded amount is zero.
std::string FormatAmount(db::Currency amount);

// "YYYYMMDD" when the date is later than the zero date (30 December 1899), else empty.
std::string FormatDate(db::TDateTime date);

// The days since the zero date of a calendar date.
db::TDateTime EncodeDate(int year, int month, int day);

}  // namespace nc16
