#include "tools/demo/DemoNames.h"

#include <array>
#include <vector>

#include "platform/Cp932.h"

namespace nc16::demo {
namespace {

struct Pair {
  const char* name;
  const char* kana;
};

// clang-format off
constexpr std::array kFamily = {
  Pair{"佐藤", "ｻﾄｳ"}, Pair{"鈴木", "ｽｽﾞｷ"}, Pair{"高橋", "ﾀｶﾊｼ"}, Pair{"田中", "ﾀﾅｶ"},
  Pair{"伊藤", "ｲﾄｳ"}, Pair{"渡辺", "ﾜﾀﾅﾍﾞ"}, Pair{"山本", "ﾔﾏﾓﾄ"}, Pair{"中村", "ﾅｶﾑﾗ"},
  Pair{"小林", "ｺﾊﾞﾔｼ"}, Pair{"加藤", "ｶﾄｳ"}, Pair{"吉田", "ﾖｼﾀﾞ"}, Pair{"山田", "ﾔﾏﾀﾞ"},
  Pair{"佐々木", "ｻｻｷ"}, Pair{"山口", "ﾔﾏｸﾞﾁ"}, Pair{"松本", "ﾏﾂﾓﾄ"}, Pair{"井上", "ｲﾉｳｴ"},
  Pair{"木村", "ｷﾑﾗ"}, Pair{"林", "ﾊﾔｼ"}, Pair{"斎藤", "ｻｲﾄｳ"}, Pair{"清水", "ｼﾐｽﾞ"},
  Pair{"長谷川", "ﾊｾｶﾞﾜ"}, Pair{"五十嵐", "ｲｶﾞﾗｼ"}, Pair{"髙橋", "ﾀｶﾊｼ"}, Pair{"齋藤", "ｻｲﾄｳ"},
};
constexpr std::array kMale = {
  Pair{"太郎", "ﾀﾛｳ"}, Pair{"一郎", "ｲﾁﾛｳ"}, Pair{"健太", "ｹﾝﾀ"}, Pair{"翔太", "ｼｮｳﾀ"},
  Pair{"大輔", "ﾀﾞｲｽｹ"}, Pair{"誠", "ﾏｺﾄ"}, Pair{"浩", "ﾋﾛｼ"}, Pair{"隆", "ﾀｶｼ"},
  Pair{"直樹", "ﾅｵｷ"}, Pair{"拓也", "ﾀｸﾔ"}, Pair{"蓮", "ﾚﾝ"}, Pair{"悠真", "ﾕｳﾏ"},
};
constexpr std::array kFemale = {
  Pair{"花子", "ﾊﾅｺ"}, Pair{"恵子", "ｹｲｺ"}, Pair{"陽子", "ﾖｳｺ"}, Pair{"美咲", "ﾐｻｷ"},
  Pair{"由美", "ﾕﾐ"}, Pair{"愛", "ｱｲ"}, Pair{"直美", "ﾅｵﾐ"}, Pair{"久美子", "ｸﾐｺ"},
  Pair{"さくら", "ｻｸﾗ"}, Pair{"真由美", "ﾏﾕﾐ"}, Pair{"陽菜", "ﾋﾅ"}, Pair{"結衣", "ﾕｲ"},
};
// Postcode prefix, prefecture and city, district.
struct Place {
  const char* yubin;
  const char* addr;
};
constexpr std::array kPlaces = {
  Place{"100", "東京都千代田区丸の内"}, Place{"160", "東京都新宿区西新宿"},
  Place{"231", "神奈川県横浜市中区山下町"}, Place{"210", "神奈川県川崎市川崎区駅前本町"},
  Place{"330", "埼玉県さいたま市大宮区桜木町"}, Place{"460", "愛知県名古屋市中区栄"},
  Place{"530", "大阪府大阪市北区梅田"}, Place{"600", "京都府京都市下京区四条通"},
  Place{"650", "兵庫県神戸市中央区三宮町"}, Place{"812", "福岡県福岡市博多区博多駅前"},
  Place{"060", "北海道札幌市中央区北一条西"}, Place{"980", "宮城県仙台市青葉区中央"},
  Place{"920", "石川県金沢市広坂"}, Place{"900", "沖縄県那覇市久茂地"},
};
constexpr std::array kBuildings = {
  "", "ﾐﾙﾍﾞｸﾊｲﾂ", "グランドメゾン", "コーポ桜", "サンシャインマンション", "ヴァントレルビル",
};
// clang-format on

// The pools converted to CP932 once, on first use; one cache per pool.
template <const auto& Pool>
const std::vector<NameParts>& Converted() {
  static const std::vector<NameParts> converted = [] {
    std::vector<NameParts> v;
    for (const Pair& p : Pool)
      v.push_back({Utf8ToCp932(p.name), Utf8ToCp932(p.kana)});
    return v;
  }();
  return converted;
}

}  // namespace

NameParts PickFamilyName(DemoRandom& rng) {
  const auto& family = Converted<kFamily>();
  return family[rng.Below(family.size())];
}

NameParts PickGivenName(DemoRandom& rng, bool male) {
  const auto& pool = male ? Converted<kMale>() : Converted<kFemale>();
  return pool[rng.Below(pool.size())];
}

NameParts FullName(const NameParts& family, const NameParts& given) {
  return {family.name + SJ("　") + given.name, family.kana + " " + given.kana};
}

Address PickAddress(DemoRandom& rng) {
  static std::vector<std::string> places, buildings;
  if (places.empty()) {
    for (const Place& p : kPlaces)
      places.push_back(Utf8ToCp932(p.addr));
    for (const char* b : kBuildings)
      buildings.push_back(Utf8ToCp932(b));
  }
  const size_t i = rng.Below(kPlaces.size());
  Address a;
  a.yubin = std::string(kPlaces[i].yubin) + "-" + std::to_string(1000 + rng.Below(9000));
  a.addr1 = places[i] + std::to_string(rng.Between(1, 9)) + SJ("丁目");
  const std::string& building = buildings[rng.Below(buildings.size())];
  a.addr2 = std::to_string(rng.Between(1, 30)) + "-" + std::to_string(rng.Between(1, 20));
  if (!building.empty()) a.addr2 += " " + building + std::to_string(rng.Between(101, 1205));
  return a;
}

char IndividualNumberCheckDigit(std::string_view first_eleven) {
  // Weights 2 to 7, then 2 to 6, from the rightmost of the eleven digits.
  int sum = 0;
  for (int n = 1; n <= 11; ++n) {
    const int p = first_eleven[static_cast<size_t>(11 - n)] - '0';
    sum += p * (n <= 6 ? n + 1 : n - 5);
  }
  const int remainder = sum % 11;
  return static_cast<char>('0' + (remainder <= 1 ? 0 : 11 - remainder));
}

std::string MakeIndividualNumber(DemoRandom& rng) {
  std::string digits;
  for (int i = 0; i < 11; ++i)
    digits += static_cast<char>('0' + rng.Below(10));
  return digits + IndividualNumberCheckDigit(digits);
}

}  // namespace nc16::demo
