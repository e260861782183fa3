#pragma once
// The master tables every demo data set shares: departments (mBumon), posts (mPost) and
// municipalities (mSichou), with the keys the generated employees refer to.

#include <span>
#include <string>

namespace nc16::demo {

// clang-format off
// Departments, one for each depth of the hierarchy (levels 0 to 4), then ordinary ones.
enum BumonKey : int {
  kBumonLevel0 = 1, kBumonLevel1, kBumonLevel2, kBumonLevel3, kBumonLevel4,
  kBumonSales, kBumonSales1, kBumonSales2, kBumonFactory, kBumonFactory1, kBumonOsaka,
  kBumonMissing = 999,  // referred to by no master row
};
enum PostKey : int {
  kPostNone = 0, kPostPresident, kPostDirector, kPostManager, kPostChief, kPostSubchief,
  kPostLeader, kPostStaff, kPostLongName,
};
// Municipalities: every row of the designated-city table, sub-prefixes included, then ordinary
// municipalities. Key 0 is the "no municipality" row that Town 0 joins to.
enum TownKey : int {
  kTownNone = 0,
  kTownSapporo, kTownSendai, kTownSaitama, kTownChiba, kTownKawasaki, kTownSagamihara,
  kTownYokohama, kTownNiigata, kTownHamamatsu, kTownShizuoka, kTownNagoya, kTownKyoto,
  kTownSakai, kTownOsaka, kTownKobe, kTownOkayama, kTownHiroshima, kTownFukuoka,
  kTownKitakyushu, kTownKumamoto,
  kTownChiyoda, kTownFuchu, kTownKanazawa, kTownNaha,
  kTownBlankPrefixed,  // a code stored with a leading full-width blank
  kTownCount,
};
// clang-format on

// Departments and towns the ordinary (random) employees are spread over.
std::span<const int> OrdinaryBumon();
std::span<const int> OrdinaryTowns();
std::span<const int> OrdinaryPosts();

// Writes mBumon, mPost and mSichou into the folder for the data version.
void WriteMasters(const std::string& folder_cp932, int version);

}  // namespace nc16::demo
