#include "extract/uNC16.h"

#include "document/TextUtils.h"
#include "platform/Cp932.h"

namespace nc16 {
namespace {

constexpr const char* kConnectionName = "K2Data";

// One line of the employee query and the data version from which it is present (0: always).
struct SqlLine {
  int from_version;
  const char* text;
};

// clang-format off
constexpr SqlLine kEmployeeQuery[] = {
  {0, "SELECT Msyain.SearchKey, Msyain.SyainCD, Msyain.Bumon, Msyain.SyainNM, Msyain.SyainKN, Msyain.BirthDay, Msyain.Sex, Msyain.Yubin,"},
  {0, "Msyain.Addr1, Msyain.Addr2, Msyain.Post, Msyain.JyugyoinKbn, Msyain.SyugyoKbn, Msyain.NyusyaDay, Msyain.TaisyokuDay,"},
  {0, "Msyain.Town, Msyain.NenchoSyori, Msyain.GensenKbn, Msyain.ZensyokuFlg, Msyain.ZenKaisyaNM, Msyain.ZenSyunyu,"},
  {0, "Msyain.ZenSyaho, Msyain.ZenSyotoku,"},
  {data_version::kV300003, "Msyain.ChosyuKbn, Msyain.RSDate, Msyain.JyutakuKariire1, Msyain.JyutakuKariireKbn1,"},
  {data_version::kV300003, "Msyain.RSDate2, Msyain.JyutakuKariire2, Msyain.JyutakuKariireKbn2,"},
  {data_version::kV400003, "Msyain.JyutakuKariireZan1, Msyain.JyutakuKariireZan2,"},
  {data_version::kMyNumber, "Msyain.MNum,"},
  {data_version::kV700001, "Msyain.MailAddress, Msyain.ZenTaisyoku, Msyain.ZenAddress, Msyain.JyutakuKoujyoCnt, Msyain.JyutakuTokutei1, Msyain.JyutakuTokutei2,"},
  {0, "Tfuyou.Syain, Tfuyou.HaiguKbn, Tfuyou.KojoHaiguKbn, Tfuyou.SyogaiKbn, Tfuyou.Syogai, Tfuyou.KafuKbn, Tfuyou.Kafu, Tfuyou.GakuseiKbn,"},
  {0, "Tfuyou.SaigaiKbn, Tfuyou.GaijinKbn,"},
  {0, "Tnencho.Syain, Tnencho.InputFlg, Tnencho.KazeiKyuyo, Tnencho.KazeiSyoyo, Tnencho.KazeiGenbutsu, Tnencho.KazeiZensyoku,"},
  {0, "Tnencho.SyahoKyuyo, Tnencho.SyahoSyoyo, Tnencho.SyahoZensyoku, Tnencho.GensenKyuyo, Tnencho.GensenSyoyo, Tnencho.GensenZensyoku,"},
  {0, "Tnencho.SyahoSinkoku, Tnencho.KokuminNenkin, Tnencho.KigyouKyosai, Tnencho.ISeimeiHoken, Tnencho.NenkinHoken, Tnencho.SSongaiHoken,"},
  {0, "Tnencho.LSongaiHoken, Tnencho.JyutakuKoujyo, Tnencho.GenzeiKyuyo, Tnencho.GenzeiSyoyo, Tnencho.HaiguSyotoku,"},
  {data_version::kV300003, "Tnencho.ISeimeiHoken2, Tnencho.KaigoHoken, Tnencho.NenkinHoken2,"},
  {0, "Tnencho.HaiguTokuKoujyo, Tnencho.HaiguSyotoku,"},
  {data_version::kV500002, "Tnencho.TukinSeisanKin, Tnencho.TukinSeisan,"},
  {data_version::kV500002, "Thkoujo.HaigusyaKN,"},
  {data_version::kV500002, "Tfkoujo.SetaiSimei, Tfkoujo.Zokugara,"},
  {0, "Mbumon.SearchKey, Mbumon.BumonCD1, Mbumon.BumonCD2, Mbumon.BumonCD3, Mbumon.BumonCD4, Mbumon.BumonLevel,"},
  {0, "Mbumon.BumonNM1, Mbumon.BumonNM2, Mbumon.BumonNM3, Mbumon.BumonNM4,"},
  {0, "Mpost.SearchKey, Mpost.PostCD, Mpost.PostNM,"},
  {0, "Msichou.SearchKey, Msichou.SichousonCode, Msichou.SichousonMei"},
  {0, "FROM \"mSyain.db\" Msyain"},
  {0, "INNER JOIN \"tFuyouSet.db\" Tfuyou"},
  {0, "ON (Tfuyou.Syain = Msyain.SearchKey)"},
  {0, "INNER JOIN \"tNenchoData.db\" Tnencho"},
  {0, "ON (Tnencho.Syain = Msyain.SearchKey)"},
  {data_version::kV500002, "FULL OUTER JOIN \"tHokenKoujo.db\" Thkoujo"},
  {data_version::kV500002, "ON (Thkoujo.Syain = Msyain.SearchKey)"},
  {data_version::kV500002, "FULL OUTER JOIN \"tFuyouKoujo.db\" Tfkoujo"},
  {data_version::kV500002, "ON (Tfkoujo.Syain = Msyain.SearchKey)"},
  {0, "INNER JOIN \"mBumon.db\" Mbumon"},
  {0, "ON (Mbumon.SearchKey = Msyain.Bumon)"},
  {0, "INNER JOIN \"mPost.db\" Mpost"},
  {0, "ON (Mpost.SearchKey = Msyain.Post)"},
  {0, "INNER JOIN \"mSichou.db\" Msichou"},
  {0, "ON (Msichou.SearchKey = Msyain.Town)"},
  {0, "ORDER BY Msyain.SyainCD"},
};
// clang-format on

// Lines that do not start a clause are indented by seven blanks.
bool StartsClause(std::string_view line) {
  for (std::string_view k : {"SELECT", "FROM", "INNER JOIN", "FULL OUTER JOIN", "ORDER BY"})
    if (line.starts_with(k)) return true;
  return false;
}

// Clears the attribute list, closes the open queries and takes the extraction's value check off
// the document on every way out of MakeData.
class QueryGuard {
 public:
  QueryGuard(TXmlSaveDoc& doc, TXmlNodeAttrs& attrs, std::initializer_list<db::TQuery*> queries)
      : doc_(doc), attrs_(attrs), queries_(queries) {}
  ~QueryGuard() {
    doc_.SetInvalidValueHandler(nullptr);
    attrs_.clear();
    for (db::TQuery* q : queries_)
      if (q->Active()) q->Close();
  }
  QueryGuard(const QueryGuard&) = delete;
  QueryGuard& operator=(const QueryGuard&) = delete;

 private:
  TXmlSaveDoc& doc_;
  TXmlNodeAttrs& attrs_;
  std::vector<db::TQuery*> queries_;
};

}  // namespace

TNenchoDataMake::TNenchoDataMake(const std::string& folder, ErrorList& errors) : errors_(errors) {
  OpenDatabase(folder);
  for (db::TQuery* q : {&qryVersion, &qrySyain, &qryFamily, &qryMeisai})
    q->SetDatabaseName(kConnectionName);
}

TNenchoDataMake::~TNenchoDataMake() {
  for (db::TQuery* q : {&qryVersion, &qrySyain, &qryFamily, &qryMeisai})
    if (q->Active()) q->Close();
  if (dbData.Connected()) dbData.Close();
}

bool TNenchoDataMake::OpenDatabase(const std::string& folder) {
  if (dbData.Connected()) dbData.Close();
  dbData.SetDatabaseName(kConnectionName);
  dbData.SetDriverName("STANDARD");
  dbData.Params().clear();
  dbData.Params().push_back("PATH=" + folder);
  dbData.Params().push_back("DEFAULT DRIVER=PARADOX");
  dbData.Params().push_back("ENABLE BCD=FALSE");
  dbData.Open();
  return dbData.Connected();
}

std::vector<std::string> TNenchoDataMake::EmployeeQuerySql(int version) {
  std::vector<std::string> sql;
  for (const SqlLine& line : kEmployeeQuery) {
    if (version < line.from_version) continue;
    std::string text = line.text;
    sql.push_back(StartsClause(text) ? text : "       " + text);
  }
  return sql;
}

int TNenchoDataMake::Version() {
  return qryVersion.FieldByName("Version").AsInteger();
}

void TNenchoDataMake::AddHeading(const std::string& heading) {
  errors_.EmployeeLines.push_back(heading);
}

void TNenchoDataMake::AddError(const std::string& line) {
  errors_.EmployeeLines.push_back(line);
  employee_error_ = true;
  run_error_ = true;
}

void TNenchoDataMake::ReportInvalidValue(std::string_view element, std::string_view attribute) {
  const std::string field =
      std::string(element) +
      (attribute.empty() ? "" : SJ(" の ") + std::string(attribute) + SJ(" 属性"));
  AddError(SJ("    ") + value_origin_ + field + SJ(" に使用できない制御文字が含まれています。"));
}

int TNenchoDataMake::MakeData(TXmlSaveDoc& doc, int my_number_option) {
  int result = kWritten;
  QueryGuard guard(doc, attrs_, {&qryVersion, &qrySyain, &qryFamily, &qryMeisai});
  // Every value of the employees passes this check on its way into the document: a control
  // character the file cannot carry is a problem of the employee's data, under the section that
  // writes it.
  doc.SetInvalidValueHandler([this](std::string_view element, std::string_view attribute) {
    ReportInvalidValue(element, attribute);
  });

  qryVersion.SQL() = {"SELECT Mkaisya.Version FROM \"mKaisya.DB\" Mkaisya"};
  qryVersion.Prepare();
  qryVersion.Open();
  qryVersion.First();

  qrySyain.SQL() = EmployeeQuerySql(Version());
  qrySyain.Prepare();

  qryFamily.SQL() = {"SELECT * FROM \"tFamily.db\" Tfamily", "ORDER BY Syain, GroupKbn, RowID"};
  qryFamily.Prepare();
  qryMeisai.SQL() = {"SELECT * FROM \"tNenchoMeisai\" Tnencho",
                     "ORDER BY Syain, SikyuKbn, SikyuKai, InputKbn"};
  qryMeisai.Prepare();

  qrySyain.Open();
  qrySyain.First();
  qryFamily.Open();
  qryMeisai.Open();

  if (qrySyain.Eof()) return Checked(kNoEmployee);

  nodeData = doc.AddElement(TXmlNode(), "DATA");
  attrs_ = {{"CODE", ""}, {"NAME", ""}};

  run_error_ = false;
  errors_.Lines.clear();
  errors_.Lines.emplace_back();

  for (; !qrySyain.Eof(); qrySyain.Next()) {
    employee_error_ = false;
    errors_.EmployeeLines.clear();

    std::string name = Emp("SyainNM").AsString();
    std::string code = Emp("SyainCD").AsString();
    errors_.EmployeeLines.push_back(SJ("【") + PadRightWholeChars(TrimBlanks(name), 20) + " " +
                                    code + SJ("】"));
    errors_.EmployeeLines.emplace_back();

    attrs_[0].Value = CopyWholeChars(TrimBlanks(code), 1, 10);
    attrs_[1].Value = CopyWholeChars(name, 1, 16);
    nodeSyain = doc.AddElementWithAttrs(nodeData, "SYAIN", attrs_);

    nodeGroup = doc.AddElement(nodeSyain, "KIHON_JOUHOU");
    WritePersonal(doc, my_number_option);
    WriteSpouse(doc, my_number_option);
    WriteDependants(doc, my_number_option);
    WriteDeductions(doc);

    nodeGroup = doc.AddElement(nodeSyain, "KYUUYOSYOUYO_JOUHOU");
    WriteSalary(doc);
    WriteBonus(doc);
    WriteTotals(doc);

    errors_.EmployeeLines.emplace_back();
    errors_.EmployeeLines.push_back(std::string(85, '-'));
    if (employee_error_) {
      errors_.Lines.insert(errors_.Lines.end(), errors_.EmployeeLines.begin(),
                           errors_.EmployeeLines.end());
    }
  }

  if (run_error_) result = kProblemsFound;
  return Checked(result);
}

int TNenchoDataMake::Checked(int result) {
  // Each table is read whole when a query first needs it, and again when it has changed before
  // a later query: a table that another program rewrote meanwhile has given this export rows of
  // two of its states, mixed with the rows of the other tables. Its stamp now tells.
  if (auto changed = dbData.ChangedTableFile()) {
    changed_file_ = *changed;
    return kDataChanged;
  }
  return result;
}

}  // namespace nc16
