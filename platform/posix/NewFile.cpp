#include "platform/NewFile.h"

namespace nc16::platform {

std::FILE* CreateNewFile(const std::filesystem::path& path) {
  return std::fopen(path.c_str(), "wbx");
}

}  // namespace nc16::platform
