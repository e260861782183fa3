#include "tools/demo/DemoPopulation.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "platform/Cp932.h"
#include "tools/demo/DemoMasters.h"
#include "tools/demo/DemoNames.h"

namespace nc16::demo {
namespace {

std::string EmployeeCode(int key) {
  char code[16];
  std::snprintf(code, sizeof code, "%06d", key);
  return code;
}

px::Date RandomDate(DemoRandom& rng, int first_year, int last_year) {
  return MakeDate(static_cast<int>(rng.Between(first_year, last_year)),
                  static_cast<int>(rng.Between(1, 12)), static_cast<int>(rng.Between(1, 28)));
}

// Payroll amounts are whole yen; a round thousand looks like a real salary table.
double Yen(DemoRandom& rng, int low_thousands, int high_thousands) {
  return 1000.0 * static_cast<double>(rng.Between(low_thousands, high_thousands));
}

}  // namespace

// A rough withholding: social insurance about 15 %, tax about 3 % of what remains.
Payment MakePayment(int kind, int number, double gross, int dependants) {
  Payment p;
  p.sikyu_kbn = kind;
  p.sikyu_kai = number;
  p.kazei_sikyu = gross;
  p.syaho_koujyo = std::round(gross * 0.15);
  p.fuyou_su = dependants;
  p.calc_zeigaku = std::floor((gross - p.syaho_koujyo) * (0.03 - 0.002 * dependants));
  return p;
}

namespace {

FamilyRow Dependant(DemoRandom& rng, int row, const NameParts& family, int age) {
  const bool male = rng.Percent(50);
  FamilyRow r;
  r.group = 1;
  r.row_id = row;
  const NameParts n = FullName(family, PickGivenName(rng, male));
  r.name = n.name;
  r.kana = n.kana;
  r.birthday = MakeDate(kDemoYear - age, static_cast<int>(rng.Between(1, 12)),
                        static_cast<int>(rng.Between(1, 28)));
  r.dokyo_kbn = 0;
  r.syogai_kbn = 2;
  r.kyoju_kbn = 1;
  if (age >= 70) {
    r.zokugara = male ? SJ("父") : SJ("母");
    r.fuyo_kbn = 4;  // elderly parent living together
  } else {
    r.zokugara = male ? (row == 1 ? SJ("長男") : SJ("次男")) : (row == 1 ? SJ("長女") : SJ("次女"));
    r.fuyo_kbn = age < 16 ? 1 : (age >= 19 && age <= 22 ? 2 : 0);
  }
  return r;
}

}  // namespace

void SumPayments(Employee& e) {
  NenchoFigures& n = e.nencho;
  n.kazei_kyuyo = n.kazei_syoyo = n.syaho_kyuyo = n.syaho_syoyo = 0;
  n.gensen_kyuyo = n.gensen_syoyo = 0;
  for (size_t i = 0; i < e.payments.size(); ++i) {
    const Payment& p = e.payments[i];
    if (p.input_kbn != 1 && p.input_kbn != 0) continue;
    if (p.sikyu_kai < 1 || p.sikyu_kai > (p.sikyu_kbn == 0 ? 12 : 4)) continue;
    // An input-kind-0 row counts only when no kind-1 row exists for that payment.
    if (p.input_kbn == 0 && i + 1 < e.payments.size()) {
      const Payment& q = e.payments[i + 1];
      if (q.sikyu_kbn == p.sikyu_kbn && q.sikyu_kai == p.sikyu_kai && q.input_kbn == 1) continue;
    }
    const bool salary = p.sikyu_kbn == 0;
    (salary ? n.kazei_kyuyo : n.kazei_syoyo) += p.kazei_sikyu;
    (salary ? n.syaho_kyuyo : n.syaho_syoyo) += p.syaho_koujyo;
    (salary ? n.gensen_kyuyo : n.gensen_syoyo) += p.calc_zeigaku;
  }
  n.kazei_zensyoku = e.zensyoku_flg ? e.zen_syunyu : 0;
  n.syaho_zensyoku = e.zensyoku_flg ? e.zen_syaho : 0;
  n.gensen_zensyoku = e.zensyoku_flg ? e.zen_syotoku : 0;
}

Employee OrdinaryEmployee(const PopulationOptions& options, int key) {
  DemoRandom rng = DemoRandom::Stream(options.seed, static_cast<uint64_t>(key));
  Employee e;
  e.key = key;
  e.code = EmployeeCode(key);
  const bool male = rng.Percent(55);
  const NameParts family = PickFamilyName(rng);
  const NameParts self = FullName(family, PickGivenName(rng, male));
  e.name = self.name;
  e.kana = self.kana;
  const int age = static_cast<int>(rng.Between(19, 66));
  e.birthday = MakeDate(kDemoYear - age, static_cast<int>(rng.Between(1, 12)),
                        static_cast<int>(rng.Between(1, 28)));
  e.sex = male ? 0 : 1;
  const Address address = PickAddress(rng);
  e.yubin = address.yubin;
  e.addr1 = address.addr1;
  e.addr2 = address.addr2;
  e.bumon = rng.Pick(OrdinaryBumon());
  e.post = rng.Pick(OrdinaryPosts());
  e.jyugyoin_kbn = 2;
  e.town = rng.Pick(OrdinaryTowns());
  if (rng.Percent(40)) e.mail_address = "s" + e.code + "@milvek.example.jp";
  if (options.individual_numbers) e.individual_number = MakeIndividualNumber(rng);

  // Employment in the year: most all year, some joined or left during it.
  int first_month = 1, last_month = 12;
  e.nyusya_day = RandomDate(rng, std::max(kDemoYear - age + 18, 1985), kDemoYear - 1);
  if (rng.Percent(8)) {
    first_month = static_cast<int>(rng.Between(2, 10));
    e.nyusya_day = MakeDate(kDemoYear, first_month, 1);
    if (rng.Percent(50)) {
      e.zensyoku_flg = true;
      e.zen_kaisya_nm = SJ("株式会社") + PickFamilyName(rng).name + SJ("製作所");
      e.zen_address = PickAddress(rng).addr1;
      e.zen_taisyoku = MakeDate(kDemoYear, first_month - 1, 28);
      e.zen_syunyu = Yen(rng, 200, 300) * (first_month - 1);
      e.zen_syaho = std::round(e.zen_syunyu * 0.15);
      e.zen_syotoku = std::floor(e.zen_syunyu * 0.025);
    }
  } else if (rng.Percent(6)) {
    last_month = static_cast<int>(rng.Between(3, 11));
    e.syugyo_kbn = 1;
    e.taisyoku_day = MakeDate(kDemoYear, last_month, 20);
  }
  e.nencho_syori = e.syugyo_kbn == 0 ? 0 : 6;
  if (rng.Percent(3)) {
    e.gensen_kbn = 1;  // a second job: no year-end adjustment here
    e.nencho_syori = 6;
  }
  e.chosyu_kbn = rng.Percent(95) ? 0 : 1;
  e.jyutaku_kariire_kbn1 = e.jyutaku_kariire_kbn2 = -1;
  if (rng.Percent(12)) {
    e.rs_date1 = RandomDate(rng, 2010, kDemoYear - 1);
    e.jyutaku_kariire_kbn1 = static_cast<int>(rng.Between(0, 4));
    e.jyutaku_kariire1 = Yen(rng, 15000, 45000);
    e.jyutaku_kariire_zan1 = e.jyutaku_kariire1 - Yen(rng, 500, 5000);
    e.jyutaku_koujyo_cnt = 1;
    e.jyutaku_tokutei1 = rng.Percent(30);
    e.nencho.jyutaku_koujyo = std::floor(e.jyutaku_kariire_zan1 * 0.007);
  }

  // Family.
  int dependants = 0;
  if (age >= 26 && rng.Percent(60)) {
    e.haigu_kbn = true;
    FamilyRow spouse;
    spouse.group = 0;
    spouse.row_id = 1;
    const NameParts n = FullName(family, PickGivenName(rng, !male));
    spouse.name = n.name;
    spouse.kana = n.kana;
    spouse.zokugara = male ? SJ("妻") : SJ("夫");
    spouse.birthday =
        MakeDate(kDemoYear - age + static_cast<int>(rng.Between(-4, 4)),
                 static_cast<int>(rng.Between(1, 12)), static_cast<int>(rng.Between(1, 28)));
    spouse.dokyo_kbn = 0;
    spouse.syogai_kbn = 2;
    spouse.kyoju_kbn = 1;
    if (options.individual_numbers) spouse.individual_number = MakeIndividualNumber(rng);
    const int income = static_cast<int>(rng.Below(3));
    if (income == 0) {  // a deductible spouse
      e.kojo_haigu_kbn = true;
      e.nencho.haigu_syotoku = Yen(rng, 0, 480);
      ++dependants;
    } else if (income == 1) {  // the special deduction for a spouse
      e.nencho.haigu_syotoku = Yen(rng, 481, 1330);
      e.nencho.haigu_toku_koujyo = Yen(rng, 30, 380);
    } else {
      spouse.gensen = 1;  // earns too much: neither deduction
      e.nencho.haigu_syotoku = Yen(rng, 1400, 5000);
    }
    e.haigusya_kn = spouse.kana;
    e.family.push_back(spouse);
  }
  const int children = age >= 28 ? static_cast<int>(rng.Below(4)) : 0;
  int row = 0;
  for (int c = 0; c < children; ++c) {
    const int child_age = static_cast<int>(rng.Between(0, std::min(25, age - 22)));
    e.family.push_back(Dependant(rng, ++row, family, child_age));
    if (child_age >= 16) ++dependants;
  }
  if (age >= 45 && rng.Percent(10)) {
    e.family.push_back(Dependant(rng, ++row, family, static_cast<int>(rng.Between(70, 90))));
    ++dependants;
  }
  if (rng.Percent(70)) {
    e.setai_simei = e.name;
    e.setai_zokugara = SJ("本人");
  }

  // Payments: monthly salary, bonuses in June and December.
  const double base = Yen(rng, 180, 650);
  for (int m = first_month; m <= last_month; ++m) {
    double gross = base;
    if (rng.Percent(30)) gross += Yen(rng, 5, 60);  // overtime
    e.payments.push_back(MakePayment(0, m, gross, dependants));
  }
  int bonus = 0;
  if (first_month <= 6 && last_month >= 6)
    e.payments.push_back(MakePayment(1, ++bonus, base * 2, dependants));
  if (last_month == 12 && first_month <= 9)
    e.payments.push_back(MakePayment(1, ++bonus, base * 2.5, dependants));

  // Year-end figures.
  NenchoFigures& n = e.nencho;
  n.input_flg = e.nencho_syori != 6 || rng.Percent(50);
  if (rng.Percent(60)) n.i_seimei_hoken = Yen(rng, 20, 120);
  if (rng.Percent(30)) n.i_seimei_hoken2 = Yen(rng, 10, 80);
  if (rng.Percent(25)) n.kaigo_hoken = Yen(rng, 10, 60);
  if (rng.Percent(20)) n.nenkin_hoken = Yen(rng, 20, 120);
  if (rng.Percent(10)) n.nenkin_hoken2 = Yen(rng, 10, 60);
  if (rng.Percent(30)) n.s_songai_hoken = Yen(rng, 5, 50);
  if (rng.Percent(5)) n.l_songai_hoken = Yen(rng, 5, 15);
  if (rng.Percent(10)) n.kigyou_kyosai = Yen(rng, 12, 84);
  if (rng.Percent(5)) n.kokumin_nenkin = Yen(rng, 100, 200);
  if (rng.Percent(30)) {
    n.tukin_seisan_kin = Yen(rng, 5, 30) * (last_month - first_month + 1);
    n.tukin_seisan = rng.Percent(70) ? SJ("電車通勤") : SJ("自動車通勤（片道１５ｋｍ）");
  }
  // The fixed-sum tax reduction of the year: 30,000 yen for the employee and each dependant.
  if (e.nencho_syori == 0) n.genzei_kyuyo = 30000.0 * (1 + dependants);
  SumPayments(e);
  return e;
}

}  // namespace nc16::demo
