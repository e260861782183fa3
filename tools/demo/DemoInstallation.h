#pragma once
// A complete demo installation of the payroll product for the export programs: the registry
// file, the product's data root with Initdat/Version.ini, the common data folder with the data
// list and the era table, and data sets with every table the export reads.
//
// Layout under the root folder R (all paths CP932; "/" is the platform's separator):
//   R/registry.ini                                  the registry ($NC16_REGISTRY); RootDir =
//   R/vantrel/ R/vantrel/MILVEKKYUYO16/Initdat/Version.ini     product version 7.01.002 R/common
//   the common application-data folder
//                                                   ($NC16_COMMON_APPDATA)
//   R/common/vantrel/MILVEKKYUYO/                   the product's common data folder
//       mGengo.db                                   the eras 明治 to 令和
//       db/mDataList.db                             200 data-list rows, the first five in use
//       DB/DAT001 ... DB/DAT005                     the data sets:
//
//   DAT001 株式会社ミルベク商事   the main data set: hand-made employees that take every branch of
//                                the export (two of them left out by its joins), then random
//                                ones; exports without a validation error; My Number in use
//                                from data version 600001, with the management password
//   DAT002 有限会社ゾルテ工業     random employees, My Number not used
//   DAT003 エラー確認用           every validation fault of the spouse and dependant sections,
//                                beside clean employees
//   DAT004 社員未登録の会社       no employee (the export's "no employee" result)
//   DAT005 旧バージョンのデータ   data version 20348, which the export refuses
//   DAT006 ...                   with `data_sets`: clean data sets of generated companies, each
//                                with a name of its own and about `employees` random employees
//                                (half of them with My Number in use from data version 600001)
//
// Each data set holds every table the export reads and an empty tMNLog.DB, all with the columns
// of its data version.
//
// As a copy from Windows (`windows_copy`): every name below R/vantrel and R/common/vantrel in
// upper case (R/VANTREL/MILVEKKYUYO16/INITDAT/VERSION.INI, .../DB/DAT001/MKAISYA.DB), the data
// list in the one folder DB beside the data sets (DB/MDATALIST.DB), and its Holders the Windows
// paths C:\ProgramData\VANTREL\MILVEKKYUYO\DB\DATnnn. The registry's RootDir keeps its spelling,
// as a user pointing the programs at the copy may type it.
//
// The same options and seed give byte-identical files.

#include <cstdint>
#include <string>
#include <vector>

namespace nc16::demo {

inline constexpr int kMinDemoDataVersion = 20349;
inline constexpr int kMaxDemoDataVersion = 700005;
// The plain My Number management password of the companies that use My Number; stored encoded.
inline constexpr char kDemoMyNumberPassword[] = "vantrel16";

struct DemoOptions {
  std::string root;    // CP932; made absolute, created when missing
  int employees = 40;  // of the main data set (hand-made cases first, then random ones)
  int data_version = kMaxDemoDataVersion;
  uint64_t seed = 1;
  bool replace = false;  // remove an earlier demo installation under root first
  int data_sets = 0;     // generated data sets beside the five above, at most kMaxExtraDataSets
  bool windows_copy = false;  // lay it out as a copy from Windows (see above)
};

// The data list has 200 rows; five hold the fixed data sets.
inline constexpr int kMaxExtraDataSets = 195;

struct DemoDataSet {
  int number = 0;       // SearchKey in the data list; folder DATnnn
  std::string folder;   // CP932, absolute
  std::string company;  // CP932, the data name
  std::string purpose;  // CP932, one line for people
  int version = 0;
  int employees = 0;       // rows of mSyain
  bool my_number = false;  // uses My Number, with the management password
  std::string holder{};    // CP932, its Holder in the data list (the folder, or a Windows path)
};

struct DemoInstallation {
  std::string root;             // CP932, absolute
  std::string registry_file;    // for NC16_REGISTRY
  std::string common_appdata;   // for NC16_COMMON_APPDATA
  std::string root_dir;         // the registry's RootDir value, ending with the separator
  std::string data_root;        // RootDir + "MILVEKKYUYO16"
  std::string common_data_dir;  // common_appdata + "/vantrel/MILVEKKYUYO"
  std::vector<DemoDataSet> data_sets;
  std::string my_number_password;
};

// Writes the installation. Raises std::invalid_argument for options out of range and
// std::runtime_error (CP932 message naming the path) when the root already holds one (unless
// `replace`) or a file cannot be written.
DemoInstallation CreateDemoInstallation(const DemoOptions& options);

// "export NC16_REGISTRY='...'" and "export NC16_COMMON_APPDATA='...'", each with a newline,
// the paths as the system names them and quoted for a POSIX shell.
std::string ShellExports(const DemoInstallation& installation);

}  // namespace nc16::demo
