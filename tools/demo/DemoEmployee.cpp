#include "tools/demo/DemoEmployee.h"

#include <chrono>

#include "external/vnprotect/VnProtect.h"

namespace nc16::demo {

px::Date MakeDate(int year, int month, int day) {
  using namespace std::chrono;
  const sys_days d{std::chrono::year{year} / month / day};
  const sys_days origin{std::chrono::year{1899} / 12 / 30};
  return px::Date{static_cast<int32_t>((d - origin).count()) + px::kDaysTo18991230};
}

namespace {

void SetDate(TableFile& t, std::string_view column, const std::optional<px::Date>& d) {
  if (d) t.SetDate(column, *d);
}
void SetInt(TableFile& t, std::string_view column, const std::optional<int>& v) {
  if (v) t.SetInt(column, *v);
}
// Stored individual numbers are kept encoded, as the payroll product keeps them.
void SetNumber(TableFile& t, std::string_view column, const std::string& plain) {
  if (!plain.empty()) t.SetText(column, EncodeStoredValue(plain));
}

}  // namespace

EmployeeTables::EmployeeTables(const std::string& folder, int version)
    : syain_(folder, "mSyain", version),
      fuyou_set_(folder, "tFuyouSet", version),
      nencho_(folder, "tNenchoData", version),
      hoken_koujo_(folder, "tHokenKoujo", version),
      fuyou_koujo_(folder, "tFuyouKoujo", version),
      family_(folder, "tFamily", version),
      meisai_(folder, "tNenchoMeisai", version) {}

void EmployeeTables::Write(const Employee& e) {
  TableFile& s = syain_;
  s.SetInt("SearchKey", e.key);
  s.SetText("SyainCD", e.code);
  s.SetInt("Bumon", e.bumon);
  s.SetText("SyainNM", e.name);
  s.SetText("SyainKN", e.kana);
  SetDate(s, "BirthDay", e.birthday);
  s.SetInt("Sex", e.sex);
  s.SetText("Yubin", e.yubin);
  s.SetText("Addr1", e.addr1);
  s.SetText("Addr2", e.addr2);
  s.SetInt("Post", e.post);
  s.SetInt("JyugyoinKbn", e.jyugyoin_kbn);
  s.SetInt("SyugyoKbn", e.syugyo_kbn);
  SetDate(s, "NyusyaDay", e.nyusya_day);
  SetDate(s, "TaisyokuDay", e.taisyoku_day);
  s.SetInt("Town", e.town);
  s.SetInt("NenchoSyori", e.nencho_syori);
  s.SetInt("GensenKbn", e.gensen_kbn);
  s.SetBool("ZensyokuFlg", e.zensyoku_flg);
  s.SetText("ZenKaisyaNM", e.zen_kaisya_nm);
  s.SetMoney("ZenSyunyu", e.zen_syunyu);
  s.SetMoney("ZenSyaho", e.zen_syaho);
  s.SetMoney("ZenSyotoku", e.zen_syotoku);
  s.SetInt("ChosyuKbn", e.chosyu_kbn);
  SetDate(s, "RSDate", e.rs_date1);
  s.SetMoney("JyutakuKariire1", e.jyutaku_kariire1);
  SetInt(s, "JyutakuKariireKbn1", e.jyutaku_kariire_kbn1);
  SetDate(s, "RSDate2", e.rs_date2);
  s.SetMoney("JyutakuKariire2", e.jyutaku_kariire2);
  SetInt(s, "JyutakuKariireKbn2", e.jyutaku_kariire_kbn2);
  s.SetMoney("JyutakuKariireZan1", e.jyutaku_kariire_zan1);
  s.SetMoney("JyutakuKariireZan2", e.jyutaku_kariire_zan2);
  SetNumber(s, "MNum", e.individual_number);
  s.SetText("MailAddress", e.mail_address);
  SetDate(s, "ZenTaisyoku", e.zen_taisyoku);
  s.SetText("ZenAddress", e.zen_address);
  SetInt(s, "JyutakuKoujyoCnt", e.jyutaku_koujyo_cnt);
  s.SetBool("JyutakuTokutei1", e.jyutaku_tokutei1);
  s.SetBool("JyutakuTokutei2", e.jyutaku_tokutei2);
  s.Add();

  TableFile& f = fuyou_set_;
  f.SetInt("Syain", e.key);
  f.SetBool("HaiguKbn", e.haigu_kbn);
  f.SetBool("KojoHaiguKbn", e.kojo_haigu_kbn);
  f.SetBool("SyogaiKbn", e.syogai_kbn);
  f.SetInt("Syogai", e.syogai);
  f.SetBool("KafuKbn", e.kafu_kbn);
  f.SetInt("Kafu", e.kafu);
  f.SetBool("GakuseiKbn", e.gakusei_kbn);
  f.SetBool("SaigaiKbn", e.saigai_kbn);
  f.SetBool("GaijinKbn", e.gaijin_kbn);
  f.Add();

  if (e.has_nencho) {
    const NenchoFigures& n = e.nencho;
    TableFile& t = nencho_;
    t.SetInt("Syain", e.key);
    t.SetBool("InputFlg", n.input_flg);
    t.SetMoney("KazeiKyuyo", n.kazei_kyuyo);
    t.SetMoney("KazeiSyoyo", n.kazei_syoyo);
    t.SetMoney("KazeiGenbutsu", n.kazei_genbutsu);
    t.SetMoney("KazeiZensyoku", n.kazei_zensyoku);
    t.SetMoney("SyahoKyuyo", n.syaho_kyuyo);
    t.SetMoney("SyahoSyoyo", n.syaho_syoyo);
    t.SetMoney("SyahoZensyoku", n.syaho_zensyoku);
    t.SetMoney("GensenKyuyo", n.gensen_kyuyo);
    t.SetMoney("GensenSyoyo", n.gensen_syoyo);
    t.SetMoney("GensenZensyoku", n.gensen_zensyoku);
    t.SetMoney("SyahoSinkoku", n.syaho_sinkoku);
    t.SetMoney("KokuminNenkin", n.kokumin_nenkin);
    t.SetMoney("KigyouKyosai", n.kigyou_kyosai);
    t.SetMoney("ISeimeiHoken", n.i_seimei_hoken);
    t.SetMoney("NenkinHoken", n.nenkin_hoken);
    t.SetMoney("SSongaiHoken", n.s_songai_hoken);
    t.SetMoney("LSongaiHoken", n.l_songai_hoken);
    t.SetMoney("JyutakuKoujyo", n.jyutaku_koujyo);
    t.SetMoney("GenzeiKyuyo", n.genzei_kyuyo);
    t.SetMoney("GenzeiSyoyo", n.genzei_syoyo);
    t.SetMoney("HaiguSyotoku", n.haigu_syotoku);
    t.SetMoney("HaiguTokuKoujyo", n.haigu_toku_koujyo);
    t.SetMoney("ISeimeiHoken2", n.i_seimei_hoken2);
    t.SetMoney("KaigoHoken", n.kaigo_hoken);
    t.SetMoney("NenkinHoken2", n.nenkin_hoken2);
    t.SetMoney("TukinSeisanKin", n.tukin_seisan_kin);
    t.SetText("TukinSeisan", n.tukin_seisan);
    t.Add();
  }

  if (e.haigusya_kn) {
    hoken_koujo_.SetInt("Syain", e.key);
    hoken_koujo_.SetText("HaigusyaKN", *e.haigusya_kn);
    hoken_koujo_.Add();
  }
  if (e.setai_simei) {
    fuyou_koujo_.SetInt("Syain", e.key);
    fuyou_koujo_.SetText("SetaiSimei", *e.setai_simei);
    fuyou_koujo_.SetText("Zokugara", e.setai_zokugara);
    fuyou_koujo_.Add();
  }

  for (const FamilyRow& r : e.family) {
    TableFile& t = family_;
    t.SetInt("Syain", e.key);
    t.SetInt("GroupKbn", r.group);
    t.SetInt("RowID", r.row_id);
    t.SetInt("Gensen", r.gensen);
    t.SetText("Name", r.name);
    t.SetText("Kana", r.kana);
    SetNumber(t, "MNum", r.individual_number);
    t.SetText("Zokugara", r.zokugara);
    SetDate(t, "BirthDay", r.birthday);
    SetInt(t, "FuyoKbn", r.fuyo_kbn);
    SetInt(t, "DokyoKbn", r.dokyo_kbn);
    SetInt(t, "SyogaiKbn", r.syogai_kbn);
    SetInt(t, "KyojuKbn", r.kyoju_kbn);
    t.Add();
  }

  for (const Payment& p : e.payments) {
    TableFile& t = meisai_;
    t.SetInt("Syain", e.key);
    t.SetInt("SikyuKbn", p.sikyu_kbn);
    t.SetInt("SikyuKai", p.sikyu_kai);
    t.SetInt("InputKbn", p.input_kbn);
    t.SetMoney("KazeiSikyu", p.kazei_sikyu);
    t.SetMoney("SyahoKoujyo", p.syaho_koujyo);
    SetInt(t, "FuyouSu", p.fuyou_su);
    t.SetMoney("CalcZeigaku", p.calc_zeigaku);
    t.Add();
  }
}

void EmployeeTables::WriteOrphanHokenKoujo(int syain_key, const std::string& haigusya_kn) {
  hoken_koujo_.SetInt("Syain", syain_key);
  hoken_koujo_.SetText("HaigusyaKN", haigusya_kn);
  hoken_koujo_.Add();
}

void EmployeeTables::Finish() {
  for (TableFile* t :
       {&syain_, &fuyou_set_, &nencho_, &hoken_koujo_, &fuyou_koujo_, &family_, &meisai_})
    t->Finish();
}

}  // namespace nc16::demo
