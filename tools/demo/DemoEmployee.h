#pragma once
// One employee of the demo data with everything the payroll tables hold about them, and the
// writer that spreads employees over the tables of a data set.

#include <optional>
#include <string>
#include <vector>

#include "external/paradox/ParadoxTable.h"
#include "tools/demo/DemoTableFile.h"

namespace nc16::demo {

px::Date MakeDate(int year, int month, int day);

// A row of tFamily: group 0 row 1 is the spouse, group 1 rows 1, 2, ... the dependants.
struct FamilyRow {
  int group = 1;
  int row_id = 1;
  int gensen = 0;
  std::string name;  // CP932
  std::string kana;
  std::string individual_number;  // plain; stored encoded
  std::string zokugara;
  std::optional<px::Date> birthday;
  std::optional<int> fuyo_kbn;
  std::optional<int> dokyo_kbn;
  std::optional<int> syogai_kbn;
  std::optional<int> kyoju_kbn;
};

// A row of tNenchoMeisai.
struct Payment {
  int sikyu_kbn = 0;  // 0 salary, 1 bonus
  int sikyu_kai = 1;
  int input_kbn = 1;
  double kazei_sikyu = 0;
  double syaho_koujyo = 0;
  std::optional<int> fuyou_su;
  double calc_zeigaku = 0;
};

// The year-end figures of tNenchoData.
struct NenchoFigures {
  bool input_flg = true;
  double kazei_kyuyo = 0, kazei_syoyo = 0, kazei_genbutsu = 0, kazei_zensyoku = 0;
  double syaho_kyuyo = 0, syaho_syoyo = 0, syaho_zensyoku = 0;
  double gensen_kyuyo = 0, gensen_syoyo = 0, gensen_zensyoku = 0;
  double syaho_sinkoku = 0, kokumin_nenkin = 0, kigyou_kyosai = 0;
  double i_seimei_hoken = 0, nenkin_hoken = 0, s_songai_hoken = 0, l_songai_hoken = 0;
  double jyutaku_koujyo = 0, genzei_kyuyo = 0, genzei_syoyo = 0;
  double haigu_syotoku = 0, haigu_toku_koujyo = 0;
  double i_seimei_hoken2 = 0, kaigo_hoken = 0, nenkin_hoken2 = 0;
  double tukin_seisan_kin = 0;
  std::string tukin_seisan;
};

struct Employee {
  // mSyain
  int key = 0;
  std::string code, name, kana;  // CP932
  std::optional<px::Date> birthday;
  int sex = 0;
  std::string yubin, addr1, addr2;
  int bumon = 1, post = 0;
  int jyugyoin_kbn = 2, syugyo_kbn = 0;
  std::optional<px::Date> nyusya_day, taisyoku_day;
  int town = 0;
  int nencho_syori = 0;
  int gensen_kbn = 0;
  bool zensyoku_flg = false;
  std::string zen_kaisya_nm;
  double zen_syunyu = 0, zen_syaho = 0, zen_syotoku = 0;
  int chosyu_kbn = 0;
  std::optional<px::Date> rs_date1, rs_date2;
  double jyutaku_kariire1 = 0, jyutaku_kariire2 = 0;
  std::optional<int> jyutaku_kariire_kbn1, jyutaku_kariire_kbn2;
  double jyutaku_kariire_zan1 = 0, jyutaku_kariire_zan2 = 0;
  std::string individual_number;  // plain; stored encoded
  std::string mail_address;
  std::optional<px::Date> zen_taisyoku;
  std::string zen_address;
  std::optional<int> jyutaku_koujyo_cnt;
  bool jyutaku_tokutei1 = false, jyutaku_tokutei2 = false;

  // tFuyouSet
  bool haigu_kbn = false, kojo_haigu_kbn = false;
  bool syogai_kbn = false;
  int syogai = 0;
  bool kafu_kbn = false;
  int kafu = 0;
  bool gakusei_kbn = false, saigai_kbn = false, gaijin_kbn = false;

  // tNenchoData; an employee without it is never exported.
  bool has_nencho = true;
  NenchoFigures nencho;

  // tHokenKoujo and tFuyouKoujo; no row when empty.
  std::optional<std::string> haigusya_kn;
  std::optional<std::string> setai_simei;
  std::string setai_zokugara;

  std::vector<FamilyRow> family;  // in key order: group, then row
  std::vector<Payment> payments;  // in key order: kind, number, input kind
};

// The employee tables of one data set, written in one pass. Employees must come in ascending
// key order.
class EmployeeTables {
 public:
  EmployeeTables(const std::string& folder_cp932, int version);
  void Write(const Employee& e);
  // Rows without an employee: a deduction row whose employee no longer exists.
  void WriteOrphanHokenKoujo(int syain_key, const std::string& haigusya_kn);
  void Finish();

 private:
  TableFile syain_, fuyou_set_, nencho_, hoken_koujo_, fuyou_koujo_, family_, meisai_;
};

}  // namespace nc16::demo
