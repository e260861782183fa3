#include "tools/demo/DemoMasters.h"

#include <array>

#include "platform/Cp932.h"
#include "tools/demo/DemoTableFile.h"

namespace nc16::demo {
namespace {

struct BumonRow {
  int key;
  int level;
  const char* cd[4];
  const char* nm[4];
};

// clang-format off
const std::array kBumon = {
  BumonRow{kBumonLevel0, 0, {"1000"}, {"本社"}},
  BumonRow{kBumonLevel1, 1, {"1000", "1100"}, {"本社", "総務部"}},
  BumonRow{kBumonLevel2, 2, {"1000", "1100", "1110"}, {"本社", "総務部", "総務課"}},
  BumonRow{kBumonLevel3, 3, {"1000", "1200", "1210", "1211"},
           {"本社", "営業本部", "東日本営業部", "東日本営業本部第一営業部法人営業課"}},
  BumonRow{kBumonLevel4, 4, {"1000", "1200", "1210", "1212"},
           {"本社", "営業本部", "東日本営業部", "法人営業第二課"}},
  BumonRow{kBumonSales, 1, {"1000", "1200"}, {"本社", "営業本部"}},
  BumonRow{kBumonSales1, 2, {"1000", "1200", "1220"}, {"本社", "営業本部", "営業第一課"}},
  BumonRow{kBumonSales2, 2, {"1000", "1200", "1230"}, {"本社", "営業本部", "営業第二課"}},
  BumonRow{kBumonFactory, 1, {"2000", "2100"}, {"工場", "製造部"}},
  BumonRow{kBumonFactory1, 2, {"2000", "2100", "2110"}, {"工場", "製造部", "製造第一課"}},
  BumonRow{kBumonOsaka, 0, {"3000"}, {"大阪支店"}},
};

struct PostRow {
  int key;
  const char* cd;
  const char* nm;
};
const std::array kPosts = {
  PostRow{kPostNone, "", ""},
  PostRow{kPostPresident, "01", "代表取締役"},
  PostRow{kPostDirector, "02", "取締役"},
  PostRow{kPostManager, "10", "部長"},
  PostRow{kPostChief, "20", "課長"},
  PostRow{kPostSubchief, "30", "係長"},
  PostRow{kPostLeader, "40", "主任"},
  PostRow{kPostStaff, "50", "一般"},
  PostRow{kPostLongName, "60", "執行役員東日本営業本部長代理"},
};

struct TownRow {
  int key;
  const char* code;
  const char* name;
};
const std::array kTowns = {
  TownRow{kTownNone, "", ""},
  TownRow{kTownSapporo, "011011", "札幌市中央区"},
  TownRow{kTownSendai, "041017", "仙台市青葉区"},
  TownRow{kTownSaitama, "111015", "さいたま市西区"},
  TownRow{kTownChiba, "121011", "千葉市中央区"},
  TownRow{kTownKawasaki, "141313", "川崎市川崎区"},
  TownRow{kTownSagamihara, "141518", "相模原市緑区"},
  TownRow{kTownYokohama, "141011", "横浜市鶴見区"},
  TownRow{kTownNiigata, "151017", "新潟市北区"},
  TownRow{kTownHamamatsu, "221384", "浜松市中央区"},
  TownRow{kTownShizuoka, "221015", "静岡市葵区"},
  TownRow{kTownNagoya, "231011", "名古屋市千種区"},
  TownRow{kTownKyoto, "261017", "京都市北区"},
  TownRow{kTownSakai, "271411", "堺市堺区"},
  TownRow{kTownOsaka, "271021", "大阪市都島区"},
  TownRow{kTownKobe, "281018", "神戸市東灘区"},
  TownRow{kTownOkayama, "331015", "岡山市北区"},
  TownRow{kTownHiroshima, "341011", "広島市中区"},
  TownRow{kTownFukuoka, "401315", "福岡市東区"},
  TownRow{kTownKitakyushu, "401013", "北九州市門司区"},
  TownRow{kTownKumamoto, "431010", "熊本市中央区"},
  TownRow{kTownChiyoda, "131016", "千代田区"},
  TownRow{kTownFuchu, "132063", "府中市"},
  TownRow{kTownKanazawa, "172014", "金沢市"},
  TownRow{kTownNaha, "472018", "那覇市"},
  TownRow{kTownBlankPrefixed, "　141330", "川崎市中原区"},
};

constexpr std::array kOrdinaryBumon = {
  static_cast<int>(kBumonLevel2), static_cast<int>(kBumonSales1), static_cast<int>(kBumonSales2),
  static_cast<int>(kBumonFactory1), static_cast<int>(kBumonOsaka), static_cast<int>(kBumonSales),
};
constexpr std::array kOrdinaryPosts = {
  static_cast<int>(kPostStaff), static_cast<int>(kPostStaff), static_cast<int>(kPostStaff),
  static_cast<int>(kPostStaff), static_cast<int>(kPostLeader), static_cast<int>(kPostSubchief),
  static_cast<int>(kPostChief), static_cast<int>(kPostManager),
};
// clang-format on

constexpr auto MakeOrdinaryTowns() {
  std::array<int, kTownNaha> towns{};
  for (int i = 0; i < kTownNaha; ++i)
    towns[static_cast<size_t>(i)] = i + 1;
  return towns;
}
constexpr auto kOrdinaryTowns = MakeOrdinaryTowns();

}  // namespace

std::span<const int> OrdinaryBumon() {
  return kOrdinaryBumon;
}
std::span<const int> OrdinaryTowns() {
  return kOrdinaryTowns;
}
std::span<const int> OrdinaryPosts() {
  return kOrdinaryPosts;
}

void WriteMasters(const std::string& folder, int version) {
  TableFile bumon(folder, "mBumon", version);
  static const char* const kCd[] = {"BumonCD1", "BumonCD2", "BumonCD3", "BumonCD4"};
  static const char* const kNm[] = {"BumonNM1", "BumonNM2", "BumonNM3", "BumonNM4"};
  for (const BumonRow& r : kBumon) {
    bumon.SetInt("SearchKey", r.key);
    bumon.SetInt("BumonLevel", r.level);
    for (size_t i = 0; i < 4; ++i) {
      if (!r.cd[i]) continue;
      bumon.SetText(kCd[i], r.cd[i]);
      bumon.SetText(kNm[i], Utf8ToCp932(r.nm[i]));
    }
    bumon.Add();
  }
  bumon.Finish();

  TableFile post(folder, "mPost", version);
  for (const PostRow& r : kPosts) {
    post.SetInt("SearchKey", r.key);
    post.SetText("PostCD", r.cd);
    post.SetText("PostNM", Utf8ToCp932(r.nm));
    post.Add();
  }
  post.Finish();

  TableFile town(folder, "mSichou", version);
  for (const TownRow& r : kTowns) {
    town.SetInt("SearchKey", r.key);
    town.SetText("SichousonCode", Utf8ToCp932(r.code));
    town.SetText("SichousonMei", Utf8ToCp932(r.name));
    town.Add();
  }
  town.Finish();
}

}  // namespace nc16::demo
