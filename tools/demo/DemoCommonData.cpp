#include "tools/demo/DemoCommonData.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <iterator>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tools/demo/DemoTableFile.h"

namespace nc16::demo {
namespace {

std::string Join(const std::string& folder, const std::string& name) {
  return folder + std::string(platform::kPathSeparator) + name;
}

struct Era {
  const char* name;
  int start, end, hosei;
};
// clang-format off
constexpr std::array kEras = {
  Era{"明治", 1868, 1912, 1867},
  Era{"大正", 1912, 1926, 1911},
  Era{"昭和", 1926, 1989, 1925},
  Era{"平成", 1989, 2019, 1988},
  Era{"令和", 2019, 0,    2018},
};
// clang-format on

}  // namespace

std::string DataSetFolder(const std::string& common_data_dir, int i) {
  char name[16];
  std::snprintf(name, sizeof name, "DAT%.3d", i);
  return Join(Join(common_data_dir, "DB"), name);
}

std::string WindowsHolder(int i) {
  char name[64];
  std::snprintf(name, sizeof name, "C:\\ProgramData\\VANTREL\\MILVEKKYUYO\\DB\\DAT%.3d", i);
  return name;
}

void UpperCaseNames(const std::string& folder) {
  namespace fs = std::filesystem;
  auto upper = [](std::string name) {
    for (char& c : name)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return name;
  };
  // Deepest first, so that a folder is renamed after everything in it.
  std::vector<fs::path> paths{NativePath(folder)};
  for (const auto& entry : fs::recursive_directory_iterator(paths.front()))
    paths.push_back(entry.path());
  std::sort(paths.begin(), paths.end(), [](const fs::path& a, const fs::path& b) {
    return std::distance(a.begin(), a.end()) > std::distance(b.begin(), b.end());
  });
  for (const fs::path& p : paths)
    fs::rename(p, p.parent_path() / upper(p.filename().string()));
}

void WriteRegistry(const std::string& registry_file, const std::string& root_dir) {
  platform::WriteProfileString(
      registry_file, "HKEY_LOCAL_MACHINE\\SOFTWARE\\VANTREL\\MILVEKKYUYO070", "RootDir", root_dir);
}

void WriteVersionIni(const std::string& initdat_folder) {
  const std::array<platform::ProfileEntry, 3> entries = {platform::ProfileEntry{"MAJOR", "7"},
                                                         platform::ProfileEntry{"MINOR", "01"},
                                                         platform::ProfileEntry{"REVISION", "002"}};
  platform::WriteProfileStrings(Join(initdat_folder, "Version.ini"), "VERSION", entries);
}

void WriteEraTable(const std::string& common_data_dir) {
  TableFile t(common_data_dir, "mGengo", kMaxDemoDataVersion);
  int key = 0;
  for (const Era& era : kEras) {
    t.SetInt("SearchKey", ++key);
    t.SetText("GengoMei", Utf8ToCp932(era.name));
    t.SetInt("StartNen", era.start);
    t.SetInt("EndNen", era.end);
    t.SetInt("HoseiNen", era.hosei);
    t.Add();
  }
  t.Finish();
}

void WriteDataList(const std::string& common_data_dir, const std::vector<DemoDataSet>& used,
                   int year, bool windows_copy) {
  TableFile t(Join(common_data_dir, windows_copy ? "DB" : "db"), "mDataList", kMaxDemoDataVersion);
  // 0xFF sorts the unused rows after every name.
  const std::string unused = "\xFF" + SJ("未使用");
  for (int i = 1; i <= 200; ++i) {
    const DemoDataSet* set = nullptr;
    for (const DemoDataSet& d : used)
      if (d.number == i) set = &d;
    t.SetInt("SearchKey", i);
    t.SetBool("MailKbn", false);
    t.SetBool("SyoninKbn", false);
    for (const char* s : {"Soujyu1", "Soujyu2", "Soujyu3", "Soujyu4"})
      t.SetInt(s, 0);
    t.SetInt("HolderNo", i);
    if (set) {
      char code[8];
      std::snprintf(code, sizeof code, "%.4d", i);
      t.SetText("KaisyaCode", code);
      t.SetText("Content", set->company);
      t.SetInt("GengoKubun", 5);  // the era row of 令和
      t.SetInt("SyoriNen", year);
      t.SetInt("SyoriTuki", 12);
      t.SetInt("SyoriKai", i == 1 ? 2 : 1);
      t.SetInt("DatKbn", 0);
      t.SetText("Holder", windows_copy ? WindowsHolder(i) : set->folder);
    } else {
      t.SetText("Content", unused);
      for (const char* s : {"GengoKubun", "SyoriNen", "SyoriTuki", "SyoriKai"})
        t.SetInt(s, 0);
      t.SetInt("DatKbn", -1);
      t.SetText("Holder", windows_copy ? WindowsHolder(i) : DataSetFolder(common_data_dir, i));
    }
    t.Add();
  }
  t.Finish();
}

}  // namespace nc16::demo
