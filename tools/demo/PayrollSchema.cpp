#include "tools/demo/PayrollSchema.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "platform/Cp932.h"

namespace nc16::demo {
namespace {

using T = px::FieldType;
constexpr T A = T::Alpha, D = T::Date, S = T::Short, L = T::Long, M = T::Money, B = T::Logical,
            TS = T::Timestamp;

// clang-format off
const std::vector<TableSchema>& AllSchemas() {
  static const std::vector<TableSchema> schemas = {
    // Spelled as the program names the file when it checks that a folder holds payroll data: on
    // a case-sensitive file system that check sees only this spelling.
    {"mKaisya.db", {
      {"KaisyaCD", A, 4}, {"KaisyaMei", A, 60}, {"SyoriNen", S}, {"SyoriTuki", S},
      {"Version", L}, {"MNUse", B, 0, 600001}, {"MNPW", A, 100, 600001}}, 0},
    {"mSyain.DB", {
      {"SearchKey", L}, {"SyainCD", A, 10}, {"Bumon", L}, {"SyainNM", A, 40},
      {"SyainKN", A, 40}, {"BirthDay", D}, {"Sex", S}, {"Yubin", A, 8}, {"Addr1", A, 60},
      {"Addr2", A, 60}, {"Post", L}, {"JyugyoinKbn", S}, {"SyugyoKbn", S}, {"NyusyaDay", D},
      {"TaisyokuDay", D}, {"Town", L}, {"NenchoSyori", S}, {"GensenKbn", S},
      {"ZensyokuFlg", B}, {"ZenKaisyaNM", A, 60}, {"ZenSyunyu", M}, {"ZenSyaho", M},
      {"ZenSyotoku", M},
      {"ChosyuKbn", S, 0, 300003}, {"RSDate", D, 0, 300003}, {"JyutakuKariire1", M, 0, 300003},
      {"JyutakuKariireKbn1", S, 0, 300003}, {"RSDate2", D, 0, 300003},
      {"JyutakuKariire2", M, 0, 300003}, {"JyutakuKariireKbn2", S, 0, 300003},
      {"JyutakuKariireZan1", M, 0, 400003}, {"JyutakuKariireZan2", M, 0, 400003},
      {"MNum", A, 100, 600001},
      {"MailAddress", A, 80, 700001}, {"ZenTaisyoku", D, 0, 700001}, {"ZenAddress", A, 80, 700001},
      {"JyutakuKoujyoCnt", S, 0, 700001}, {"JyutakuTokutei1", B, 0, 700001},
      {"JyutakuTokutei2", B, 0, 700001}}, 1},
    {"tFuyouSet.DB", {
      {"Syain", L}, {"HaiguKbn", B}, {"KojoHaiguKbn", B}, {"SyogaiKbn", B}, {"Syogai", S},
      {"KafuKbn", B}, {"Kafu", S}, {"GakuseiKbn", B}, {"SaigaiKbn", B}, {"GaijinKbn", B}}, 1},
    {"tNenchoData.DB", {
      {"Syain", L}, {"InputFlg", B}, {"KazeiKyuyo", M}, {"KazeiSyoyo", M}, {"KazeiGenbutsu", M},
      {"KazeiZensyoku", M}, {"SyahoKyuyo", M}, {"SyahoSyoyo", M}, {"SyahoZensyoku", M},
      {"GensenKyuyo", M}, {"GensenSyoyo", M}, {"GensenZensyoku", M}, {"SyahoSinkoku", M},
      {"KokuminNenkin", M}, {"KigyouKyosai", M}, {"ISeimeiHoken", M}, {"NenkinHoken", M},
      {"SSongaiHoken", M}, {"LSongaiHoken", M}, {"JyutakuKoujyo", M}, {"GenzeiKyuyo", M},
      {"GenzeiSyoyo", M}, {"HaiguSyotoku", M}, {"HaiguTokuKoujyo", M},
      {"ISeimeiHoken2", M, 0, 300003}, {"KaigoHoken", M, 0, 300003},
      {"NenkinHoken2", M, 0, 300003},
      {"TukinSeisanKin", M, 0, 500002}, {"TukinSeisan", A, 60, 500002}}, 1},
    {"tHokenKoujo.DB", {{"Syain", L}, {"HaigusyaKN", A, 40}}, 1},
    {"tFuyouKoujo.DB", {{"Syain", L}, {"SetaiSimei", A, 40}, {"Zokugara", A, 20}}, 1},
    {"mBumon.DB", {
      {"SearchKey", L}, {"BumonLevel", S}, {"BumonCD1", A, 10}, {"BumonCD2", A, 10},
      {"BumonCD3", A, 10}, {"BumonCD4", A, 10}, {"BumonNM1", A, 40}, {"BumonNM2", A, 40},
      {"BumonNM3", A, 40}, {"BumonNM4", A, 40}}, 1},
    {"mPost.DB", {{"SearchKey", L}, {"PostCD", A, 10}, {"PostNM", A, 40}}, 1},
    {"mSichou.DB", {
      {"SearchKey", L}, {"SichousonCode", A, 10}, {"SichousonMei", A, 40}}, 1},
    {"tFamily.DB", {
      {"Syain", L}, {"GroupKbn", S}, {"RowID", S}, {"Gensen", S}, {"Name", A, 40},
      {"Kana", A, 40, 700005}, {"MNum", A, 100, 600001}, {"Zokugara", A, 20}, {"BirthDay", D},
      {"FuyoKbn", S}, {"DokyoKbn", S}, {"SyogaiKbn", S}, {"KyojuKbn", S, 0, 700001}}, 3},
    {"tNenchoMeisai.DB", {
      {"Syain", L}, {"SikyuKbn", S}, {"SikyuKai", S}, {"InputKbn", S}, {"KazeiSikyu", M},
      {"SyahoKoujyo", M}, {"FuyouSu", S}, {"CalcZeigaku", M}}, 4},
    {"tMNLog.DB", {
      {"Serial", A, 20}, {"AppKbn", L}, {"ProcessName", A, 40}, {"ProcessDate", TS},
      {"ProcessSub", A, 100}, {"OpCode", A, 10}, {"OpName", A, 40}, {"PcName", A, 200},
      {"BumonKey", L}, {"SyainKey", L}, {"FRowID", L}, {"SyainCode", A, 10},
      {"SyainName", A, 40}, {"FuyouName", A, 40}}, 0},
    {"mGengo.db", {
      {"SearchKey", L}, {"GengoMei", A, 10}, {"StartNen", S}, {"EndNen", S},
      {"HoseiNen", S}}, 1},
    // The common data folder's list of data sets, spelled as the program checks for it.
    {"mDataList.db", {
      {"SearchKey", L}, {"KaisyaCode", A, 4}, {"OPcode", A, 4}, {"Content", A, 40},
      {"Password1", A, 10}, {"GengoKubun", L}, {"SyoriNen", L}, {"SyoriTuki", L},
      {"SyoriKai", L}, {"DatKbn", L}, {"MailKbn", B}, {"SyoninKbn", B}, {"Soujyu1", L},
      {"Soujyu2", L}, {"Soujyu3", L}, {"Soujyu4", L}, {"Holder", A, 255}, {"HolderNo", L},
      {"NendoNo", A, 3}}, 1},
  };
  return schemas;
}

// The secondary indexes the payroll product defines on a table (all case-insensitive).
std::vector<px::IndexDef> SecondaryIndexes(std::string_view file_name) {
  if (file_name != "mDataList.db") return {};
  auto index = [](const char* name, std::vector<std::string> fields) {
    return px::IndexDef{name, std::move(fields), false, true, false};
  };
  return {index("CoCodeIdx", {"KaisyaCode"}), index("ShameiIdx", {"Content"}),
          index("Password1Idx", {"Password1"}), index("DatKbnIdx", {"DatKbn"}),
          index("HolderIdx", {"Holder"}), index("SortIdx", {"Content", "SearchKey"})};
}
// clang-format on

bool SameTableName(std::string_view a, std::string_view b) {
  auto strip = [](std::string_view s) {
    if (s.size() > 3) {
      std::string_view ext = s.substr(s.size() - 3);
      if (ext[0] == '.' && (ext[1] == 'd' || ext[1] == 'D') && (ext[2] == 'b' || ext[2] == 'B'))
        s.remove_suffix(3);
    }
    return s;
  };
  a = strip(a);
  b = strip(b);
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

const TableSchema& Schema(std::string_view table) {
  for (const auto& s : AllSchemas())
    if (SameTableName(s.file_name, table)) return s;
  throw std::out_of_range("unknown payroll table " + std::string(table));
}

const std::vector<std::string_view>& DataSetTables() {
  static const std::vector<std::string_view> tables = {
      "mKaisya.DB",     "mSyain.DB",      "tFuyouSet.DB",     "tNenchoData.DB",
      "tHokenKoujo.DB", "tFuyouKoujo.DB", "mBumon.DB",        "mPost.DB",
      "mSichou.DB",     "tFamily.DB",     "tNenchoMeisai.DB", "tMNLog.DB"};
  return tables;
}

px::TableDef TableDefFor(std::string_view table, int version) {
  const TableSchema& schema = Schema(table);
  px::TableDef def;
  int index = 0;
  for (const Column& c : schema.columns) {
    if (version < c.from_version) {
      ++index;
      continue;
    }
    def.fields.push_back(px::FieldDef{c.name, c.type, c.size});
    if (index < schema.key_columns) ++def.key_field_count;
    ++index;
  }
  def.secondary_indexes = SecondaryIndexes(schema.file_name);
  return def;
}

void WriteTable(const std::string& folder_cp932, std::string_view table, int version,
                const std::vector<Row>& rows) {
  px::TableDef def = TableDefFor(table, version);
  std::filesystem::path file = NativePath(folder_cp932) / Schema(table).file_name;
  px::CreateTable(file, def);
  if (rows.empty()) return;
  // One commit for all the rows: an append each would rewrite and flush the table per row.
  std::vector<std::vector<px::Value>> records;
  records.reserve(rows.size());
  for (const Row& row : rows) {
    std::vector<px::Value>& values = records.emplace_back(def.fields.size());
    for (size_t i = 0; i < def.fields.size(); ++i) {
      auto it = row.find(def.fields[i].name);
      values[i] = it == row.end() ? px::Value{} : it->second;
    }
  }
  px::TableWriter(file).AppendMany(records);
}

px::Value DateValue(int year, int month, int day) {
  using namespace std::chrono;
  sys_days d{std::chrono::year{year} / month / day};
  sys_days origin{std::chrono::year{1899} / 12 / 30};
  return px::Date{static_cast<int32_t>((d - origin).count()) + px::kDaysTo18991230};
}

}  // namespace nc16::demo
