#include "tests/db/PayrollData.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <random>

#include "external/paradox/ValueText.h"
#include "platform/Cp932.h"

namespace nc16::db::testing {
namespace {

using px::FieldDef;
using px::FieldType;
using px::Value;

FieldDef A(const char* name, int size) {
  return {name, FieldType::Alpha, size};
}
FieldDef I(const char* name) {
  return {name, FieldType::Long, 0};
}
FieldDef S(const char* name) {
  return {name, FieldType::Short, 0};
}
FieldDef M(const char* name) {
  return {name, FieldType::Money, 0};
}
FieldDef D(const char* name) {
  return {name, FieldType::Date, 0};
}
FieldDef L(const char* name) {
  return {name, FieldType::Logical, 0};
}

Value Day(int y, int m, int d) {
  return px::Date{px::DaysFromCivil(y, m, d)};
}

}  // namespace

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("nc16db-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void WriteTable(const std::filesystem::path& folder, const std::string& file,
                const std::vector<px::FieldDef>& fields, int keys,
                const std::vector<std::vector<px::Value>>& rows) {
  px::TableDef def;
  def.fields = fields;
  def.key_field_count = keys;
  const auto path = folder / NativePath(file);
  px::CreateTable(path, def);
  px::TableWriter writer(path);
  writer.AppendMany(rows);
}

std::vector<FieldDef> KaisyaFields() {
  return {A("KaisyaMei", 40), I("SyoriNen"), I("Version"), L("MNUse"), A("MNPW", 100)};
}

std::vector<FieldDef> SyainFields() {
  return {I("SearchKey"),
          A("SyainCD", 10),
          I("Bumon"),
          A("SyainNM", 30),
          A("SyainKN", 30),
          D("BirthDay"),
          S("Sex"),
          A("Yubin", 8),
          A("Addr1", 50),
          A("Addr2", 50),
          I("Post"),
          S("JyugyoinKbn"),
          S("SyugyoKbn"),
          D("NyusyaDay"),
          D("TaisyokuDay"),
          I("Town"),
          S("NenchoSyori"),
          S("GensenKbn"),
          L("ZensyokuFlg"),
          A("ZenKaisyaNM", 40),
          M("ZenSyunyu"),
          M("ZenSyaho"),
          M("ZenSyotoku"),
          S("ChosyuKbn"),
          D("RSDate"),
          M("JyutakuKariire1"),
          S("JyutakuKariireKbn1"),
          D("RSDate2"),
          M("JyutakuKariire2"),
          S("JyutakuKariireKbn2"),
          M("JyutakuKariireZan1"),
          M("JyutakuKariireZan2"),
          A("MNum", 100),
          A("MailAddress", 80),
          D("ZenTaisyoku"),
          A("ZenAddress", 100),
          S("JyutakuKoujyoCnt"),
          L("JyutakuTokutei1"),
          L("JyutakuTokutei2")};
}

std::vector<FieldDef> FuyouSetFields() {
  return {I("Syain"),   L("HaiguKbn"), S("KojoHaiguKbn"), S("SyogaiKbn"), S("Syogai"),
          S("KafuKbn"), S("Kafu"),     S("GakuseiKbn"),   S("SaigaiKbn"), S("GaijinKbn")};
}

std::vector<FieldDef> NenchoDataFields() {
  std::vector<FieldDef> f{I("Syain"), L("InputFlg")};
  for (const char* m :
       {"KazeiKyuyo",    "KazeiSyoyo",    "KazeiGenbutsu", "KazeiZensyoku", "SyahoKyuyo",
        "SyahoSyoyo",    "SyahoZensyoku", "GensenKyuyo",   "GensenSyoyo",   "GensenZensyoku",
        "SyahoSinkoku",  "KokuminNenkin", "KigyouKyosai",  "ISeimeiHoken",  "NenkinHoken",
        "SSongaiHoken",  "LSongaiHoken",  "JyutakuKoujyo", "GenzeiKyuyo",   "GenzeiSyoyo",
        "HaiguSyotoku",  "ISeimeiHoken2", "KaigoHoken",    "NenkinHoken2",  "HaiguTokuKoujyo",
        "TukinSeisanKin"}) {
    f.push_back(M(m));
  }
  f.push_back(A("TukinSeisan", 20));
  return f;
}

std::vector<FieldDef> HokenKoujoFields() {
  return {I("Syain"), A("HaigusyaKN", 30)};
}
std::vector<FieldDef> FuyouKoujoFields() {
  return {I("Syain"), A("SetaiSimei", 30), A("Zokugara", 10)};
}
std::vector<FieldDef> BumonFields() {
  return {I("SearchKey"),    A("BumonCD1", 10), A("BumonCD2", 10), A("BumonCD3", 10),
          A("BumonCD4", 10), S("BumonLevel"),   A("BumonNM1", 30), A("BumonNM2", 30),
          A("BumonNM3", 30), A("BumonNM4", 30)};
}
std::vector<FieldDef> PostFields() {
  return {I("SearchKey"), A("PostCD", 10), A("PostNM", 30)};
}
std::vector<FieldDef> SichouFields() {
  return {I("SearchKey"), A("SichousonCode", 6), A("SichousonMei", 30)};
}
std::vector<FieldDef> FamilyFields() {
  return {I("Syain"),    S("GroupKbn"),  S("RowID"),        A("Name", 30),
          A("Kana", 30), D("BirthDay"),  A("Zokugara", 10), S("FuyoKbn"),
          S("DokyoKbn"), S("SyogaiKbn"), L("Gensen"),       A("MNum", 100)};
}
std::vector<FieldDef> MeisaiFields() {
  return {I("Syain"),      S("SikyuKbn"),    S("SikyuKai"), S("InputKbn"),
          M("KazeiSikyu"), M("SyahoKoujyo"), S("FuyouSu"),  M("CalcZeigaku")};
}

void WriteDataSet(const std::filesystem::path& folder, const DataSetShape& shape) {
  const int n = shape.employees;
  std::mt19937 rng(12345);
  auto money = [&](int max_yen) {
    return static_cast<double>(rng() % static_cast<unsigned>(max_yen));
  };

  WriteTable(folder, "mKaisya.DB", KaisyaFields(), 0,
             {{std::string(SJ("株式会社テスト")), int64_t{2021}, int64_t{shape.version}, true,
               std::string("ENCODED")}});

  std::vector<std::vector<Value>> syain, fuyou, nencho, hoken, fkoujo, family, meisai;
  for (int k = 1; k <= n; ++k) {
    char code[16];
    std::snprintf(code, sizeof code, "%010d", n + 1 - k);
    std::vector<Value> s(SyainFields().size());
    s[0] = int64_t{k};
    s[1] = std::string(code);
    s[2] = int64_t{1 + k % shape.departments};
    s[3] = SJ("山田　太郎") + std::to_string(k);
    s[4] = std::string("\xD4\xCF\xC0\xDE \xC0\xDB\xB3");  // ﾔﾏﾀﾞ ﾀﾛｳ
    s[5] = Day(1960 + k % 40, 1 + k % 12, 1 + k % 28);
    s[6] = int64_t{k % 2};
    s[7] = std::string("100-0001");
    s[8] = SJ("東京都千代田区");
    s[10] = int64_t{1 + k % shape.posts};
    s[13] = Day(2000, 4, 1);
    s[15] = int64_t{1 + k % shape.towns};
    s[16] = int64_t{k % 3};
    s[20] = money(3000000);
    s[24] = Day(2015, 3, 10);
    s[25] = money(30000000);
    s[26] = int64_t{1};
    s[30] = money(20000000);
    s[32] = std::string("MNUM") + std::to_string(k);
    s[36] = int64_t{1};
    s[37] = true;
    syain.push_back(std::move(s));

    fuyou.push_back({int64_t{k}, k % 2 == 0, int64_t{1}, int64_t{0}, int64_t{0}, int64_t{0},
                     int64_t{0}, int64_t{0}, int64_t{0}, int64_t{0}});
    if (k % 11 != 0) {
      std::vector<Value> t(NenchoDataFields().size());
      t[0] = int64_t{k};
      t[1] = true;
      for (size_t c = 2; c + 1 < t.size(); ++c)
        t[c] = money(5000000) + 0.5;
      nencho.push_back(std::move(t));
    }
    if (k % 7 != 0) hoken.push_back({int64_t{k}, std::string("\xCA\xB2\xB8\xDE\xB3\xBC\xAC")});
    fkoujo.push_back({int64_t{k}, SJ("山田　太郎"), SJ("本人")});
    for (int r = 0; r < shape.family_per_employee; ++r) {
      family.push_back({int64_t{k}, int64_t{r == 0 ? 0 : 1}, int64_t{r == 0 ? 1 : r},
                        SJ("家族") + std::to_string(r), Value{}, Day(1990, 1, 1 + r), SJ("子"),
                        int64_t{1}, int64_t{1}, int64_t{0}, false, Value{}});
    }
    for (int d = 0; d < shape.details_per_employee; ++d) {
      const int kbn = d < 12 ? 0 : 1;
      const int kai = d < 12 ? d + 1 : d - 11;
      meisai.push_back({int64_t{k}, int64_t{kbn}, int64_t{kai}, int64_t{d % 5 == 0 ? 0 : 1},
                        money(400000), money(60000), int64_t{d % 4}, money(20000)});
    }
  }
  WriteTable(folder, "mSyain.db", SyainFields(), 1, syain);
  WriteTable(folder, "tFuyouSet.db", FuyouSetFields(), 1, fuyou);
  WriteTable(folder, "tNenchoData.db", NenchoDataFields(), 1, nencho);
  WriteTable(folder, "tHokenKoujo.db", HokenKoujoFields(), 1, hoken);
  WriteTable(folder, "tFuyouKoujo.db", FuyouKoujoFields(), 1, fkoujo);
  WriteTable(folder, "tFamily.db", FamilyFields(), 3, family);
  WriteTable(folder, "tNenchoMeisai.db", MeisaiFields(), 4, meisai);

  std::vector<std::vector<Value>> bumon, post, sichou;
  for (int b = 1; b <= shape.departments; ++b) {
    bumon.push_back({int64_t{b}, std::to_string(b), Value{}, Value{}, Value{}, int64_t{1},
                     SJ("営業部") + std::to_string(b), Value{}, Value{}, Value{}});
  }
  for (int p = 1; p <= shape.posts; ++p) {
    post.push_back({int64_t{p}, std::to_string(p), SJ("部長") + std::to_string(p)});
  }
  for (int t = 1; t <= shape.towns; ++t) {
    sichou.push_back({int64_t{t}, std::to_string(131000 + t), SJ("千代田区") + std::to_string(t)});
  }
  WriteTable(folder, "mBumon.db", BumonFields(), 1, bumon);
  WriteTable(folder, "mPost.db", PostFields(), 1, post);
  WriteTable(folder, "mSichou.db", SichouFields(), 1, sichou);
}

std::vector<std::string> EmployeeQuery(int version) {
  const std::string in = "       ";
  std::vector<std::string> q;
  auto add = [&](const std::string& line, bool indent = true) {
    q.push_back((indent ? in : "") + line);
  };
  add("SELECT Msyain.SearchKey, Msyain.SyainCD, Msyain.Bumon, Msyain.SyainNM, Msyain.SyainKN, "
      "Msyain.BirthDay, Msyain.Sex, Msyain.Yubin,",
      false);
  add("Msyain.Addr1, Msyain.Addr2, Msyain.Post, Msyain.JyugyoinKbn, Msyain.SyugyoKbn, "
      "Msyain.NyusyaDay, Msyain.TaisyokuDay,");
  add("Msyain.Town, Msyain.NenchoSyori, Msyain.GensenKbn, Msyain.ZensyokuFlg, "
      "Msyain.ZenKaisyaNM, Msyain.ZenSyunyu,");
  add("Msyain.ZenSyaho, Msyain.ZenSyotoku,");
  if (version >= 300003) {
    add("Msyain.ChosyuKbn, Msyain.RSDate, Msyain.JyutakuKariire1, Msyain.JyutakuKariireKbn1,");
    add("Msyain.RSDate2, Msyain.JyutakuKariire2, Msyain.JyutakuKariireKbn2,");
  }
  if (version >= 400003) add("Msyain.JyutakuKariireZan1, Msyain.JyutakuKariireZan2,");
  if (version >= 600001) add("Msyain.MNum,");
  if (version >= 700001) {
    add("Msyain.MailAddress, Msyain.ZenTaisyoku, Msyain.ZenAddress, Msyain.JyutakuKoujyoCnt, "
        "Msyain.JyutakuTokutei1, Msyain.JyutakuTokutei2,");
  }
  add("Tfuyou.Syain, Tfuyou.HaiguKbn, Tfuyou.KojoHaiguKbn, Tfuyou.SyogaiKbn, Tfuyou.Syogai, "
      "Tfuyou.KafuKbn, Tfuyou.Kafu, Tfuyou.GakuseiKbn,");
  add("Tfuyou.SaigaiKbn, Tfuyou.GaijinKbn,");
  add("Tnencho.Syain, Tnencho.InputFlg, Tnencho.KazeiKyuyo, Tnencho.KazeiSyoyo, "
      "Tnencho.KazeiGenbutsu, Tnencho.KazeiZensyoku,");
  add("Tnencho.SyahoKyuyo, Tnencho.SyahoSyoyo, Tnencho.SyahoZensyoku, Tnencho.GensenKyuyo, "
      "Tnencho.GensenSyoyo, Tnencho.GensenZensyoku,");
  add("Tnencho.SyahoSinkoku, Tnencho.KokuminNenkin, Tnencho.KigyouKyosai, Tnencho.ISeimeiHoken, "
      "Tnencho.NenkinHoken, Tnencho.SSongaiHoken,");
  add("Tnencho.LSongaiHoken, Tnencho.JyutakuKoujyo, Tnencho.GenzeiKyuyo, Tnencho.GenzeiSyoyo, "
      "Tnencho.HaiguSyotoku,");
  if (version >= 300003) add("Tnencho.ISeimeiHoken2, Tnencho.KaigoHoken, Tnencho.NenkinHoken2,");
  add("Tnencho.HaiguTokuKoujyo, Tnencho.HaiguSyotoku,");
  if (version >= 500002) {
    add("Tnencho.TukinSeisanKin, Tnencho.TukinSeisan,");
    add("Thkoujo.HaigusyaKN,");
    add("Tfkoujo.SetaiSimei, Tfkoujo.Zokugara,");
  }
  add("Mbumon.SearchKey, Mbumon.BumonCD1, Mbumon.BumonCD2, Mbumon.BumonCD3, Mbumon.BumonCD4, "
      "Mbumon.BumonLevel,");
  add("Mbumon.BumonNM1, Mbumon.BumonNM2, Mbumon.BumonNM3, Mbumon.BumonNM4,");
  add("Mpost.SearchKey, Mpost.PostCD, Mpost.PostNM,");
  add("Msichou.SearchKey, Msichou.SichousonCode, Msichou.SichousonMei");
  add("FROM \"mSyain.db\" Msyain", false);
  add("INNER JOIN \"tFuyouSet.db\" Tfuyou", false);
  add("ON (Tfuyou.Syain = Msyain.SearchKey)");
  add("INNER JOIN \"tNenchoData.db\" Tnencho", false);
  add("ON (Tnencho.Syain = Msyain.SearchKey)");
  if (version >= 500002) {
    add("FULL OUTER JOIN \"tHokenKoujo.db\" Thkoujo", false);
    add("ON (Thkoujo.Syain = Msyain.SearchKey)");
    add("FULL OUTER JOIN \"tFuyouKoujo.db\" Tfkoujo", false);
    add("ON (Tfkoujo.Syain = Msyain.SearchKey)");
  }
  add("INNER JOIN \"mBumon.db\" Mbumon", false);
  add("ON (Mbumon.SearchKey = Msyain.Bumon)");
  add("INNER JOIN \"mPost.db\" Mpost", false);
  add("ON (Mpost.SearchKey = Msyain.Post)");
  add("INNER JOIN \"mSichou.db\" Msichou", false);
  add("ON (Msichou.SearchKey = Msyain.Town)");
  add("ORDER BY Msyain.SyainCD", false);
  return q;
}

}  // namespace nc16::db::testing
