// The hand-made employees: each takes branches of the export that random data would reach only
// by luck. The comment at each case names what it is there for.

#include <initializer_list>

#include "platform/Cp932.h"
#include "tools/demo/DemoMasters.h"
#include "tools/demo/DemoNames.h"
#include "tools/demo/DemoPopulation.h"

namespace nc16::demo {
namespace {

// Plain texts of the cases, written readably; stored as CP932.
std::string T(const char* utf8) {
  return Utf8ToCp932(utf8);
}

struct Builder {
  const PopulationOptions& options;
  DemoRandom rng;

  explicit Builder(const PopulationOptions& o) : options(o), rng(DemoRandom::Stream(o.seed, 0)) {}

  std::string Number() { return options.individual_numbers ? MakeIndividualNumber(rng) : ""; }

  // An ordinary employee with the case's municipality; with a family name given, a man of that
  // family, so that the family rows of the case read naturally.
  Employee Base(int key, int town, const char* family = nullptr, const char* family_kana = "") {
    Employee e = OrdinaryEmployee(options, key);
    e.town = town;
    if (family) {
      const NameParts given = PickGivenName(rng, true);
      const NameParts full = FullName({T(family), T(family_kana)}, given);
      e.name = full.name;
      e.kana = full.kana;
      e.sex = 0;
      if (e.setai_simei) e.setai_simei = e.name;
    }
    e.family.clear();
    e.haigu_kbn = e.kojo_haigu_kbn = false;
    e.nencho.haigu_syotoku = e.nencho.haigu_toku_koujyo = 0;
    e.haigusya_kn.reset();
    return e;
  }

  FamilyRow Spouse(const char* name, const char* kana) {
    FamilyRow r;
    r.group = 0;
    r.row_id = 1;
    r.name = T(name);
    r.kana = T(kana);
    r.zokugara = T("妻");
    r.birthday = MakeDate(1985, 4, 12);
    r.individual_number = Number();
    r.dokyo_kbn = 0;
    r.syogai_kbn = 2;
    r.kyoju_kbn = 1;
    return r;
  }

  FamilyRow Child(int row, const char* name, const char* kana, const char* zokugara,
                  std::optional<px::Date> birthday, std::optional<int> fuyo = 0) {
    FamilyRow r;
    r.group = 1;
    r.row_id = row;
    r.name = T(name);
    r.kana = T(kana);
    r.zokugara = T(zokugara);
    r.birthday = birthday;
    r.individual_number = Number();
    r.fuyo_kbn = fuyo;
    r.dokyo_kbn = 0;
    r.syogai_kbn = 2;
    r.kyoju_kbn = 1;
    return r;
  }
};

// Replaces the payments: salary numbers and bonus numbers, each of `base` yen.
void SetPayments(Employee& e, std::initializer_list<int> salaries,
                 std::initializer_list<int> bonuses, double base = 300000) {
  e.payments.clear();
  for (int m : salaries)
    e.payments.push_back(MakePayment(0, m, base, 1));
  for (int b : bonuses)
    e.payments.push_back(MakePayment(1, b, base * 2, 1));
}

}  // namespace

std::vector<Employee> CleanCases(const PopulationOptions& options) {
  Builder b(options);
  std::vector<Employee> all;
  auto add = [&](Employee e) {
    SumPayments(e);
    all.push_back(std::move(e));
    return &all.back();
  };

  {  // Name longer than the error heading (20 bytes) and NAME (16 bytes), each cut splitting a
     // double-byte character; level-0 department; retirement date stored while still employed;
     // the commuting reason cut at 24 bytes after trimming; a half-yen commuting allowance.
    Employee e = b.Base(1, kTownSapporo);
    e.name = T("ﾐﾙﾍﾞｸ　勅使河原左衛門之助");
    e.kana = T("ﾐﾙﾍﾞｸ ﾃｼｶﾞﾜﾗｻｴﾓﾝﾉｽｹ");
    e.sex = 0;
    e.bumon = kBumonLevel0;
    e.syugyo_kbn = 0;
    e.taisyoku_day = MakeDate(2024, 3, 31);
    e.nencho.tukin_seisan_kin = 12345.5;
    e.nencho.tukin_seisan = T("　ﾊﾞｽ・電車通勤（片道４５ｋｍ）");
    e.mail_address = "teshigawara@milvek.example.jp";
    SetPayments(e, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 2});
    add(std::move(e));
  }
  {  // Retired (kind 1) with the salary of month 6 missing; a spouse row although no spouse is
     // declared; an officer without an individual number.
    Employee e = b.Base(2, kTownSendai, "佐藤", "ｻﾄｳ");
    e.bumon = kBumonLevel1;
    e.post = kPostPresident;
    e.jyugyoin_kbn = 0;
    e.syugyo_kbn = 1;
    e.taisyoku_day = MakeDate(2024, 7, 31);
    e.nencho_syori = 6;
    e.individual_number.clear();
    e.setai_simei.reset();
    e.family.push_back(b.Spouse("佐藤　恵子", "ｻﾄｳ ｹｲｺ"));
    SetPayments(e, {1, 2, 3, 4, 5, 7}, {1});
    add(std::move(e));
  }
  {  // Retired (kind 2) after a previous employer with every figure, halves included; a
     // deductible spouse (disabled category 0, non-resident, no income) whose reading differs
     // between the family row and the deduction row; dependants 1, 2 and 4, row 4 without a
     // name (never looked at, since row 3 is missing).
    Employee e = b.Base(3, kTownSaitama, "鈴木", "ｽｽﾞｷ");
    e.bumon = kBumonLevel2;
    e.syugyo_kbn = 2;
    e.taisyoku_day = MakeDate(2024, 10, 15);
    e.nencho_syori = 6;
    e.zensyoku_flg = true;
    e.zen_kaisya_nm = T("株式会社ヴァントレル商会");
    e.zen_address = T("東京都港区芝公園４丁目２－８");
    e.zen_taisyoku = MakeDate(2024, 1, 31);
    e.zen_syunyu = 1234567.5;
    e.zen_syaho = 180000;
    e.zen_syotoku = 35000.5;
    e.haigu_kbn = true;
    e.kojo_haigu_kbn = true;
    FamilyRow s = b.Spouse("鈴木　陽子", "ｽｽﾞｷ ﾖｳｺ");
    s.syogai_kbn = 0;
    s.kyoju_kbn = 0;
    e.family.push_back(s);
    e.haigusya_kn = T("ｽｽﾞｷ ﾖｰｺ");  // differs from the family row's reading
    e.family.push_back(b.Child(1, "鈴木　一郎", "ｽｽﾞｷ ｲﾁﾛｳ", "長男", MakeDate(2005, 5, 5)));
    e.family.push_back(b.Child(2, "鈴木　花子", "ｽｽﾞｷ ﾊﾅｺ", "長女", MakeDate(2012, 3, 3), 1));
    e.family.push_back(b.Child(4, "", "", "次男", std::nullopt));
    SetPayments(e, {2, 3, 4, 5, 6, 7, 8, 9, 10}, {1});
    add(std::move(e));
  }
  {  // Kind 3 employment; previous employer without a retirement date and with no income; a
     // spouse with the deduction but taxed elsewhere (not reported); every dependant category,
     // a row left out silently (Gensen 1, no name) and the living-together combinations that
     // pass the check.
    Employee e = b.Base(4, kTownChiba, "田中", "ﾀﾅｶ");
    e.bumon = kBumonLevel3;
    e.syugyo_kbn = 3;
    e.zensyoku_flg = true;
    e.zen_kaisya_nm = T("有限会社サンプル");
    e.zen_taisyoku.reset();
    e.zen_syunyu = e.zen_syaho = e.zen_syotoku = 0;
    e.haigu_kbn = true;
    e.kojo_haigu_kbn = true;
    FamilyRow s = b.Spouse("田中　直美", "ﾀﾅｶ ﾅｵﾐ");
    s.gensen = 1;
    e.family.push_back(s);
    FamilyRow skipped = b.Child(1, "", "", "", std::nullopt);
    skipped.gensen = 1;
    e.family.push_back(skipped);
    e.family.push_back(b.Child(2, "田中　健太", "ﾀﾅｶ ｹﾝﾀ", "長男", MakeDate(2003, 6, 1), 2));
    e.family.push_back(b.Child(3, "田中　浩", "ﾀﾅｶ ﾋﾛｼ", "祖父", MakeDate(1935, 1, 2), 3));
    FamilyRow parent = b.Child(4, "田中　隆", "ﾀﾅｶ ﾀｶｼ", "父", MakeDate(1948, 2, 3), 4);
    parent.dokyo_kbn = 1;
    parent.syogai_kbn = 0;
    e.family.push_back(parent);
    FamilyRow mother = b.Child(5, "田中　久美子", "ﾀﾅｶ ｸﾐｺ", "母", MakeDate(1952, 7, 7), 4);
    mother.dokyo_kbn = 0;
    mother.syogai_kbn = 1;
    e.family.push_back(mother);
    e.family.push_back(b.Child(6, "田中　さくら", "ﾀﾅｶ ｻｸﾗ", "次女", MakeDate(2010, 8, 8), 5));
    e.family.push_back(b.Child(7, "田中　蓮", "ﾀﾅｶ ﾚﾝ", "三男", MakeDate(2015, 9, 9), -1));
    e.family.push_back(
        b.Child(8, "田中　結衣", "ﾀﾅｶ ﾕｲ", "三女", MakeDate(2018, 1, 1), std::nullopt));
    add(std::move(e));
  }
  {  // Kind 4 at a level-4 department (no department written); a spouse reported through the
     // special deduction, disabled and living apart, with a half-yen income; relationship texts
     // around the 6-byte cut; dependant names longer than 20 bytes; disability and residence
     // variants.
    Employee e = b.Base(5, kTownKawasaki, "渡辺", "ﾜﾀﾅﾍﾞ");
    e.bumon = kBumonLevel4;
    e.syugyo_kbn = 4;
    e.haigu_kbn = true;
    e.nencho.haigu_toku_koujyo = 380000;
    e.nencho.haigu_syotoku = 1000000.5;
    FamilyRow s = b.Spouse("渡辺　真由美", "ﾜﾀﾅﾍﾞ ﾏﾕﾐ");
    s.syogai_kbn = 1;
    s.dokyo_kbn = 1;
    e.family.push_back(s);
    e.haigusya_kn = s.kana;
    FamilyRow r1 =
        b.Child(1, "渡辺　勘解由小路左京之介", "ﾜﾀﾅﾍﾞ ｶﾃﾞﾉｺｳｼﾞ", "叔父の子", MakeDate(2001, 4, 1));
    r1.syogai_kbn = 0;
    r1.kyoju_kbn = 0;
    e.family.push_back(r1);
    FamilyRow r2 = b.Child(2, "渡辺　美咲", "ﾜﾀﾅﾍﾞ ﾐｻｷ", "ｵｲの子", MakeDate(2006, 4, 2));
    r2.syogai_kbn = 1;
    r2.dokyo_kbn = 1;
    r2.kyoju_kbn.reset();
    e.family.push_back(r2);
    FamilyRow r3 = b.Child(3, "渡辺　翔太", "ﾜﾀﾅﾍﾞ ｼｮｳﾀ", "ﾒの長男", MakeDate(2004, 4, 3));
    r3.syogai_kbn = 1;
    r3.dokyo_kbn = 0;
    e.family.push_back(r3);
    FamilyRow r4 = b.Child(4, "渡辺　愛", "ﾜﾀﾅﾍﾞ ｱｲ", "義理の父親", MakeDate(1949, 4, 4), 3);
    r4.syogai_kbn.reset();
    e.family.push_back(r4);
    add(std::move(e));
  }
  {  // Kind 5 (retired, with its date); a declared spouse without a spouse row.
    Employee e = b.Base(6, kTownSagamihara);
    e.syugyo_kbn = 5;
    e.taisyoku_day = MakeDate(2024, 5, 31);
    e.nencho_syori = 6;
    e.haigu_kbn = true;
    SetPayments(e, {1, 2, 3, 4, 5}, {});
    add(std::move(e));
  }
  {  // Kind 6; a deductible spouse, disabled and living apart (category 3), without a birth date,
     // resident.
    Employee e = b.Base(7, kTownYokohama, "山本", "ﾔﾏﾓﾄ");
    e.syugyo_kbn = 6;
    e.haigu_kbn = true;
    e.kojo_haigu_kbn = true;
    FamilyRow s = b.Spouse("山本　由美", "ﾔﾏﾓﾄ ﾕﾐ");
    s.syogai_kbn = 1;
    s.dokyo_kbn = 0;
    s.birthday.reset();
    e.family.push_back(s);
    add(std::move(e));
  }
  {  // Kind 7: no GENKYOU, and no retirement date although one is stored; a deductible spouse
     // whose disability and residence categories are null.
    Employee e = b.Base(8, kTownNiigata, "中村", "ﾅｶﾑﾗ");
    e.syugyo_kbn = 7;
    e.taisyoku_day = MakeDate(2024, 12, 31);
    e.haigu_kbn = true;
    e.kojo_haigu_kbn = true;
    FamilyRow s = b.Spouse("中村　愛", "ﾅｶﾑﾗ ｱｲ");
    s.syogai_kbn.reset();
    s.kyoju_kbn.reset();
    e.family.push_back(s);
    add(std::move(e));
  }
  {  // Year-end adjustment with bonus 1; a special deduction amount without a declared spouse
     // (no check, nothing written); eleven dependants, so row numbers take two digits.
    Employee e = b.Base(9, kTownHamamatsu, "小林", "ｺﾊﾞﾔｼ");
    e.nencho_syori = 1;
    e.birthday = MakeDate(1958, 6, 1);
    e.nencho.haigu_toku_koujyo = 50000;
    static const char* const kNames[] = {"小林　一郎", "小林　花子", "小林　健太", "小林　陽子",
                                         "小林　翔太", "小林　美咲", "小林　大輔", "小林　由美",
                                         "小林　誠",   "小林　愛",   "小林　蓮"};
    for (int i = 0; i < 11; ++i)
      e.family.push_back(b.Child(i + 1, kNames[i], "ｺﾊﾞﾔｼ", i % 2 ? "女" : "男",
                                 MakeDate(2000 + i, 1 + i, 1 + i)));
    SetPayments(e, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 2, 3, 4});
    add(std::move(e));
  }
  {  // Year-end adjustment with bonus 2; a declared spouse that has neither deduction.
    Employee e = b.Base(10, kTownShizuoka, "吉田", "ﾖｼﾀﾞ");
    e.nencho_syori = 2;
    e.haigu_kbn = true;
    e.family.push_back(b.Spouse("吉田　さくら", "ﾖｼﾀﾞ ｻｸﾗ"));
    SetPayments(e, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 2});
    add(std::move(e));
  }
  {  // Year-end adjustment with bonus 3.
    Employee e = b.Base(11, kTownNagoya);
    e.nencho_syori = 3;
    SetPayments(e, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1, 2, 3});
    add(std::move(e));
  }
  {  // Year-end adjustment with bonus 4; rows the export never writes: salary 13, bonus 5, and a
     // salary 6 held only under input kind 2.
    Employee e = b.Base(12, kTownKyoto);
    e.nencho_syori = 4;
    SetPayments(e, {1, 2, 3, 4, 5}, {});
    Payment odd = MakePayment(0, 6, 310000, 1);
    odd.input_kbn = 2;
    e.payments.push_back(odd);
    for (int m = 7; m <= 13; ++m)
      e.payments.push_back(MakePayment(0, m, 300000, 1));
    for (int k = 1; k <= 5; ++k)
      e.payments.push_back(MakePayment(1, k, 500000, 1));
    add(std::move(e));
  }
  {  // Input kinds 1 and 0 for the same payment (1 wins), and a payment held only as kind 0.
    Employee e = b.Base(13, kTownSakai);
    SetPayments(e, {1, 2}, {});
    for (int m : {3, 4, 12}) {
      Payment draft = MakePayment(0, m, 111111, 0);
      draft.input_kbn = 0;
      e.payments.push_back(draft);
      if (m != 4) e.payments.push_back(MakePayment(0, m, 333333, 2));
    }
    Payment bonus_draft = MakePayment(1, 1, 222222, 0);
    bonus_draft.input_kbn = 0;
    e.payments.push_back(bonus_draft);
    e.payments.push_back(MakePayment(1, 1, 666666, 2));
    add(std::move(e));
  }
  {  // Negative and half-yen amounts: a salary correction, halves in payments and deductions.
    Employee e = b.Base(14, kTownOsaka);
    SetPayments(e, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {1});
    e.payments[0].kazei_sikyu = 250000.5;
    e.payments[0].syaho_koujyo = 37500.5;
    e.payments[0].calc_zeigaku = 6375.5;
    e.payments[10].kazei_sikyu = -12345.5;
    e.payments[10].syaho_koujyo = -1851.5;
    e.payments[10].calc_zeigaku = -370.5;
    e.nencho.i_seimei_hoken = 40000.5;
    e.nencho.s_songai_hoken = -0.5;
    e.nencho.syaho_sinkoku = 1500.5;
    e.nencho.genzei_kyuyo = 30000.5;
    e.nencho.genzei_syoyo = -0.5;
    add(std::move(e));
  }
  {  // No payment rows; year-end figures stored but not entered (InputFlg false).
    Employee e = b.Base(15, kTownKobe);
    e.payments.clear();
    SumPayments(e);
    e.nencho.input_flg = false;
    e.nencho.kazei_kyuyo = 3600000;
    e.nencho.syaho_kyuyo = 540000;
    e.nencho.gensen_kyuyo = 81000;
    all.push_back(std::move(e));
  }
  {  // Entered year-end figures that are all zero; zero payments with a null dependant count.
    Employee e = b.Base(16, kTownOkayama);
    SetPayments(e, {1, 2, 3}, {}, 0);
    for (Payment& p : e.payments)
      p.fuyou_su.reset();
    e.nencho = NenchoFigures{};
    e.jyutaku_kariire_kbn1 = e.jyutaku_kariire_kbn2 = -1;
    e.rs_date1.reset();
    add(std::move(e));
  }
  {  // Only the previous employer's taxable pay in the totals.
    Employee e = b.Base(17, kTownHiroshima);
    e.payments.clear();
    e.nencho = NenchoFigures{};
    e.nencho.kazei_zensyoku = 1000;
    all.push_back(std::move(e));
  }
  {  // Housing loans: residence from 8 January 1989 (the first day that counts) and from
     // 7 January 1989 (too early); loan kinds 0 and 5; the specified-loan flags.
    Employee e = b.Base(18, kTownFukuoka);
    e.rs_date1 = MakeDate(1989, 1, 8);
    e.rs_date2 = MakeDate(1989, 1, 7);
    e.jyutaku_kariire_kbn1 = 0;
    e.jyutaku_kariire_kbn2 = 5;
    e.jyutaku_kariire1 = 30000000;
    e.jyutaku_kariire2 = 5000000;
    e.jyutaku_kariire_zan1 = 23456789.5;
    e.jyutaku_kariire_zan2 = 1000000;
    e.jyutaku_koujyo_cnt = 2;
    e.jyutaku_tokutei1 = true;
    e.jyutaku_tokutei2 = false;
    e.nencho.jyutaku_koujyo = 164197.5;
    add(std::move(e));
  }
  {  // Housing loans: a residence before the era change; loan kinds 1 and 2; no count.
    Employee e = b.Base(19, kTownKitakyushu);
    e.rs_date1 = MakeDate(1988, 12, 31);
    e.rs_date2 = MakeDate(2015, 6, 1);
    e.jyutaku_kariire_kbn1 = 1;
    e.jyutaku_kariire_kbn2 = 2;
    e.jyutaku_kariire_zan1 = 0;
    e.jyutaku_kariire_zan2 = 8000000;
    e.jyutaku_koujyo_cnt.reset();
    add(std::move(e));
  }
  {  // Housing loans: kinds 3 and 4, the first without a residence date.
    Employee e = b.Base(20, kTownKumamoto);
    e.rs_date1.reset();
    e.rs_date2 = MakeDate(2020, 3, 15);
    e.jyutaku_kariire_kbn1 = 3;
    e.jyutaku_kariire_kbn2 = 4;
    e.jyutaku_kariire_zan2 = 25000000;
    e.jyutaku_koujyo_cnt = 1;
    add(std::move(e));
  }
  {  // Town 0; loan kinds negative and null; a short postcode and no second address line; a
     // disabled widow(er) in the first categories.
    Employee e = b.Base(21, kTownNone);
    e.jyutaku_kariire_kbn1 = -1;
    e.jyutaku_kariire_kbn2.reset();
    e.yubin = "12";
    e.addr2.clear();
    e.syogai_kbn = true;
    e.syogai = 0;
    e.kafu_kbn = true;
    e.kafu = 0;
    add(std::move(e));
  }
  {  // A municipality code stored after a full-width blank; the other categories of the flags;
     // a postcode without hyphen.
    Employee e = b.Base(22, kTownBlankPrefixed);
    e.yubin = "1234567";
    e.syogai_kbn = true;
    e.syogai = 1;
    e.kafu_kbn = true;
    e.kafu = 2;
    e.gakusei_kbn = e.saigai_kbn = e.gaijin_kbn = true;
    add(std::move(e));
  }
  {  // An employee code with a leading blank (sorts first, written trimmed); an officer of kind
     // 1 without a post; a woman.
    Employee e = b.Base(23, kTownChiyoda);
    e.code = " 00023";
    e.jyugyoin_kbn = 1;
    e.post = kPostNone;
    e.sex = 1;
    add(std::move(e));
  }
  {  // Withholding column 乙 (no year-end adjustment, no dependant declaration); ordinary
     // collection of the resident tax; a long post name.
    Employee e = b.Base(24, kTownFuchu);
    e.gensen_kbn = 1;
    e.chosyu_kbn = 1;
    e.nencho_syori = 6;
    e.post = kPostLongName;
    add(std::move(e));
  }
  {  // Left out by the export: no year-end row.
    Employee e = b.Base(25, kTownKanazawa);
    e.has_nencho = false;
    add(std::move(e));
  }
  {  // Left out by the export: a department key without a master row.
    Employee e = b.Base(26, kTownNaha);
    e.bumon = kBumonMissing;
    add(std::move(e));
  }
  return all;
}

std::vector<Employee> FaultyCases(const PopulationOptions& options) {
  Builder b(options);
  std::vector<Employee> all;
  auto add = [&](Employee e) {
    SumPayments(e);
    all.push_back(std::move(e));
  };
  add(OrdinaryEmployee(options, 1));  // clean: never in the error list
  {                                   // A spouse special deduction without a spouse row.
    Employee e = b.Base(2, kTownOsaka);
    e.haigu_kbn = true;
    e.nencho.haigu_toku_koujyo = 100000;
    add(std::move(e));
  }
  {  // A spouse special deduction for a spouse whose name is only full-width blanks.
    Employee e = b.Base(3, kTownKyoto);
    e.haigu_kbn = true;
    e.nencho.haigu_toku_koujyo = 50000;
    e.family.push_back(b.Spouse("　　　", "ﾅﾅｼ"));
    add(std::move(e));
  }
  {  // Dependants with each fault: no name and no birth date (two lines); a long name without
     // birth date (the name cut at 20 bytes inside a character); an elderly parent whose living
     // category was not checked; then a clean row and a silently skipped one.
    Employee e = b.Base(4, kTownKobe, "伊藤", "ｲﾄｳ");
    e.family.push_back(b.Child(1, "伊藤　太郎", "ｲﾄｳ ﾀﾛｳ", "長男", MakeDate(2004, 4, 4)));
    e.family.push_back(b.Child(2, "", "", "長女", std::nullopt));
    e.family.push_back(b.Child(3, "長谷川 左衛門之助丸太郎", "ﾊｾｶﾞﾜ", "叔父", std::nullopt));
    FamilyRow parent = b.Child(4, "伊藤　花子", "ｲﾄｳ ﾊﾅｺ", "母", MakeDate(1945, 5, 5), 4);
    parent.dokyo_kbn = 1;
    parent.syogai_kbn = 1;
    e.family.push_back(parent);
    e.family.push_back(b.Child(5, "伊藤　陽菜", "ｲﾄｳ ﾋﾅ", "次女", MakeDate(2010, 10, 10), 1));
    FamilyRow skipped = b.Child(6, "", "", "", std::nullopt);
    skipped.gensen = 1;
    e.family.push_back(skipped);
    add(std::move(e));
  }
  {  // Faults in two-digit rows: a blank name in row 10, no birth date in row 11.
    Employee e = b.Base(5, kTownNagoya, "加藤", "ｶﾄｳ");
    for (int i = 1; i <= 11; ++i) {
      const char* name = i == 10 ? " 　" : "加藤　拓也";
      e.family.push_back(b.Child(i, name, "ｶﾄｳ", "子",
                                 i == 11 ? std::optional<px::Date>() : MakeDate(1995 + i, 2, 2)));
    }
    add(std::move(e));
  }
  add(OrdinaryEmployee(options, 6));  // clean
  return all;
}

}  // namespace nc16::demo
