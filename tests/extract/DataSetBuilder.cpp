#include "tests/extract/DataSetBuilder.h"

#include <algorithm>

#include "platform/Cp932.h"

namespace nc16::test {

std::string SJIS(std::string_view utf8) {
  return Utf8ToCp932(utf8);
}

DataSetBuilder::DataSetBuilder(int version) : version_(version) {
  kaisya_ = {{"KaisyaCD", std::string("0001")},
             {"KaisyaMei", SJIS("テスト株式会社")},
             {"SyoriNen", int64_t{2024}},
             {"SyoriTuki", int64_t{12}},
             {"Version", int64_t{version}}};
}

DataSetBuilder::Employee DataSetBuilder::AddEmployee(int64_t key, std::string_view code_utf8,
                                                     std::string_view name_utf8) {
  auto add = [](auto& list, Row row) -> Row& {
    list.push_back(std::make_unique<Row>(std::move(row)));
    return *list.back();
  };
  Row& syain = add(syain_, {{"SearchKey", key},
                            {"SyainCD", SJIS(code_utf8)},
                            {"Bumon", int64_t{1}},
                            {"SyainNM", SJIS(name_utf8)},
                            {"SyainKN", SJIS("ﾃｽﾄ")},
                            {"BirthDay", demo::DateValue(1980, 4, 1)},
                            {"Sex", int64_t{0}},
                            {"Post", int64_t{1}},
                            {"Town", int64_t{1}},
                            {"SyugyoKbn", int64_t{0}}});
  Row& fuyou = add(fuyou_, {{"Syain", key}});
  Row& nencho = add(nencho_, {{"Syain", key}, {"InputFlg", true}});
  Row& hoken = add(hoken_, {{"Syain", key}});
  Row& fkoujo = add(fkoujo_, {{"Syain", key}});
  if (!bumon_.count(1))
    bumon_[1] = {{"SearchKey", int64_t{1}},
                 {"BumonLevel", int64_t{0}},
                 {"BumonCD1", std::string("100")},
                 {"BumonNM1", SJIS("総務部")}};
  if (!post_.count(1))
    post_[1] = {{"SearchKey", int64_t{1}}, {"PostCD", std::string("01")}, {"PostNM", SJIS("部長")}};
  if (!sichou_.count(1))
    sichou_[1] = {{"SearchKey", int64_t{1}},
                  {"SichousonCode", std::string("131016")},
                  {"SichousonMei", SJIS("千代田区")}};
  return {syain, fuyou, nencho, hoken, fkoujo};
}

Row& DataSetBuilder::AddFamily(int64_t syain, int group, int row_id, std::string_view name_utf8) {
  family_.push_back({{"Syain", syain},
                     {"GroupKbn", int64_t{group}},
                     {"RowID", int64_t{row_id}},
                     {"Gensen", int64_t{0}},
                     {"Name", SJIS(name_utf8)},
                     {"BirthDay", demo::DateValue(2010, 5, 5)}});
  return family_.back();
}

Row& DataSetBuilder::AddPayment(int64_t syain, int kind, int number, int input_kbn,
                                double taxable) {
  payments_.push_back({{"Syain", syain},
                       {"SikyuKbn", int64_t{kind}},
                       {"SikyuKai", int64_t{number}},
                       {"InputKbn", int64_t{input_kbn}},
                       {"KazeiSikyu", taxable}});
  return payments_.back();
}

void DataSetBuilder::Write(const std::filesystem::path& folder) const {
  const std::string dir = FromNativePath(folder);
  auto rows = [](const std::vector<std::unique_ptr<Row>>& list) {
    std::vector<Row> out;
    for (const auto& r : list)
      out.push_back(*r);
    return out;
  };
  auto values = [](const std::map<int64_t, Row>& map) {
    std::vector<Row> out;
    for (const auto& [key, row] : map)
      out.push_back(row);
    return out;
  };
  std::vector<Row> nencho;
  for (const auto& r : nencho_) {
    int64_t key = std::get<int64_t>(r->at("Syain"));
    if (std::find(dropped_nencho_.begin(), dropped_nencho_.end(), key) == dropped_nencho_.end())
      nencho.push_back(*r);
  }
  // Keyed tables take their rows in key order.
  auto by_keys = [](std::vector<Row> list, std::vector<std::string> keys) {
    std::stable_sort(list.begin(), list.end(), [&](const Row& a, const Row& b) {
      for (const auto& k : keys) {
        int64_t x = std::get<int64_t>(a.at(k)), y = std::get<int64_t>(b.at(k));
        if (x != y) return x < y;
      }
      return false;
    });
    return list;
  };
  demo::WriteTable(dir, "mKaisya", version_, {kaisya_});
  demo::WriteTable(dir, "mSyain", version_, by_keys(rows(syain_), {"SearchKey"}));
  demo::WriteTable(dir, "tFuyouSet", version_, by_keys(rows(fuyou_), {"Syain"}));
  demo::WriteTable(dir, "tNenchoData", version_, by_keys(nencho, {"Syain"}));
  if (version_ >= 500002) {
    demo::WriteTable(dir, "tHokenKoujo", version_, by_keys(rows(hoken_), {"Syain"}));
    demo::WriteTable(dir, "tFuyouKoujo", version_, by_keys(rows(fkoujo_), {"Syain"}));
  }
  demo::WriteTable(dir, "mBumon", version_, values(bumon_));
  demo::WriteTable(dir, "mPost", version_, values(post_));
  demo::WriteTable(dir, "mSichou", version_, values(sichou_));
  demo::WriteTable(dir, "tFamily", version_, by_keys(family_, {"Syain", "GroupKbn", "RowID"}));
  demo::WriteTable(dir, "tNenchoMeisai", version_,
                   by_keys(payments_, {"Syain", "SikyuKbn", "SikyuKai", "InputKbn"}));
  demo::WriteTable(dir, "tMNLog", version_, {});
}

}  // namespace nc16::test
