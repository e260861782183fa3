#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end of
// the test.

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/PortableTemp.h"

namespace nc16::px::test {

class TestDir {
 public:
  TestDir() { path_ = nc16::testing::MakeTempFolder("nc16px"); }
  ~TestDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::filesystem::path& p, const std::string& data) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

inline std::filesystem::path Fixture(const std::string& rel) {
  return std::filesystem::path(NC16_FIXTURES_DIR) / rel;
}

}  // namespace nc16::px::test
