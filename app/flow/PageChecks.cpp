#include "app/flow/PageChecks.h"

#include "app/flow/OutputStep.h"
#include "document/ArgUtils.h"
#include "document/TextUtils.h"
#include "document/Texts.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932.h"
#include "platform/Platform.h"

namespace nc16 {

std::optional<std::string> CheckManagementPassword(bool with_my_number, std::string_view typed,
                                                   std::string_view stored) {
  if (!with_my_number) return std::nullopt;
  if (typed.empty()) return texts::ManagementPasswordMissing();
  if (typed != stored) return texts::ManagementPasswordWrong();
  return std::nullopt;
}

std::optional<std::string> CheckFileNameText(std::string_view utf8) {
  if (!Utf8ToCp932Exact(utf8)) return texts::FileNameCharacters();
  return std::nullopt;
}

std::optional<std::string> CheckOutputFileName(std::string_view file) {
  if (file.empty() || TrimBlanks(file.substr(FolderPart(file).size())).empty())
    return texts::FileMissing();
  if (platform::WindowsMajorVersion() >= 6 && IsSystemDriveRoot(file))
    return texts::SystemDriveRoot(GetWindowsDrive());
  if (IsTableFileName(file)) return texts::TableFileName();
  return std::nullopt;
}

std::string OutputTargetOf(std::string_view file) {
  return platform::ResolvePathCase(ResolveOutputPath(file));
}

std::optional<std::string> CheckOutputTarget(std::string_view target) {
  if (platform::DirectoryExists(target)) return texts::OutputIsAFolder(target);
  if (auto refused = NotReplaceable(NativePath(target))) return *refused;
  const std::string folder = ResolveOutputFolder(target);
  if (!platform::DirectoryExists(folder)) return texts::OutputFolderMissing(folder);
  if (!platform::FolderWritable(folder)) return texts::OutputFolderNotWritable(folder);
  return std::nullopt;
}

std::optional<std::string> ReplaceQuestion(std::string_view target) {
  if (!platform::FileExists(target)) return std::nullopt;
  return texts::ReplaceQuestion(target);
}

std::optional<std::string> CheckEncryptionPassword(bool with_my_number, std::string_view password) {
  if (with_my_number && password.empty()) return texts::EncryptionPasswordMissing();
  return std::nullopt;
}

bool IsTableFileName(std::string_view file_name) {
  const std::string_view name = file_name.substr(FolderPart(file_name).size());
  const size_t dot = name.rfind('.');
  const size_t ext_length = dot == std::string_view::npos ? 0 : name.size() - dot - 1;
  if (ext_length != 2 && ext_length != 3) return false;
  const std::string ext = AsciiUpper(name.substr(dot + 1));
  auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
  if (ext == "DB" || ext == "PX" || ext == "MB") return true;
  return ext.size() == 3 && (ext[0] == 'X' || ext[0] == 'Y') && (hex(ext[1]) || ext[1] == 'G') &&
         hex(ext[2]);
}

bool EndsWithXmlQve(std::string_view file_name) {
  return EndsWithNoCase(RightPart(file_name, 8), ".xml.qve");
}

std::string OfferedFileName(std::string file, bool with_my_number) {
  if (!with_my_number) {
    if (EndsWithXmlQve(file)) file.resize(file.size() - 4);
  } else if (!EndsWithXmlQve(file)) {
    if (file.ends_with(".xml")) {
      file += ".qve";
    } else if (file.ends_with(".XML")) {
      file += ".QVE";
    }
  }
  return file;
}

}  // namespace nc16
