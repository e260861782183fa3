#pragma once
// TDataExportInfo: everything one export needs to know — where the payroll product keeps its
// data, the chosen data set, company and year, the output file and password, whether individual
// numbers go out, and the fixed identity texts of this program and of the two products it links.
// The wizard form owns one for the whole run and fills it page by page; the output step has it
// write the document header and the employees.
//
// The wizard's object remembers the user's last choices in DataSelect.ini (section NENCHO, keys
// DATA, KOMONSAKI and, only when no launcher started the program, EXPORTFILE) in CommonDataDir:
// read at creation, written at destruction. Every other front end's object leaves the file
// alone; which one an object is, its creator says once, in the constructor. Texts are CP932.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "document/XMLSaveDoc.h"

namespace nc16 {

class ErrorList;

// What an object remembers in DataSelect.ini.
enum class Remembering {
  kDataSetAndFile,  // the wizard started alone: the data set, and the file when the caller id is 0
  kDataSet,         // the wizard given a launch argument, whose file is never the user's choice
  kNothing,         // every other use: DataSelect.ini is neither read nor written
};

class TDataExportInfo {
 public:
  // Reads the registry, Version.ini and (unless `remembering` is kNothing) DataSelect.ini; never
  // raises. Missing settings read as empty texts or defaults. The registry file or Version.ini
  // that is there and cannot be read (no permission, no regular file, over 1 MiB), or a settings
  // file whose name is ambiguous (two entries that differ only in letter case), leaves its
  // message in SettingsError, the first such message when there are several. An unreadable
  // DataSelect.ini reads as empty (see LoadSelection).
  TDataExportInfo(std::string outputFile, std::string password, int32_t callerFunctionId,
                  Remembering remembering);
  // Saves the selection into CommonDataDir, when the object remembers one. A failure is handed
  // to OnSaveError, once; the destructor never raises.
  ~TDataExportInfo();
  TDataExportInfo(const TDataExportInfo&) = delete;
  TDataExportInfo& operator=(const TDataExportInfo&) = delete;

  // DataSelect.ini of the folder Dir, found in any letter case: Load reads DataKey, CompanyName
  // and (caller id 0) OutputFile, each at most 2047 bytes, empty when missing or when the file
  // cannot be read (Save then refuses it for the same cause). Save writes them in one atomic
  // replacement under the name the file was found with (a new file is named DataSelect.ini),
  // keeping every other section and key. Both raise EOSError naming the two files when the name
  // is ambiguous; Save raises EOSError naming the file when it cannot be read or written.
  void LoadSelection(std::string_view dir);
  void SaveSelection(std::string_view dir);
  // Version.ini of the folder Dir (names in any letter case): the digits MAJOR+MINOR+REVISION
  // (defaults "1", "00", "000"), also kept in VersionMajor/Minor/Revision; "0" when the file does
  // not exist. EOSError when a name is ambiguous or the file cannot be read.
  std::string ReadSourceVersion(std::string_view dir);
  // The registry's RootDir of the payroll product with "MILVEKKYUYO16" appended directly;
  // empty when the key does not open, "MILVEKKYUYO16" alone when the value is missing. EOSError
  // naming the registry file when it is there and cannot be read (POSIX).
  std::string ReadDataRoot();

  // The document header and the employees (written elsewhere, with the header code).
  void SetSystemNode(TXmlSaveDoc& doc);
  void SetBasicNode(TXmlSaveDoc& doc);
  void SetDataNode(TXmlSaveDoc& doc);

  std::string DataRoot;       // installation data root; its folder Initdat must exist
  std::string CommonDataDir;  // <common app data>\vantrel\MILVEKKYUYO, or empty
  TXmlNode CurrentNode;       // the header element being filled
  std::string WindowCaption;
  std::string TargetProductName;
  int32_t CallerFunctionId = 0;  // 0 when started alone
  std::string BusinessPrefix;
  int32_t HeaderVersion = 1;
  int32_t FunctionId = 1;
  std::string ConnectedProgramVer;
  std::string SourceProductName;
  std::string SourceVersion;     // digits at creation; the header code writes the dotted form
  std::string MinSourceVersion;  // lowest supported payroll version, digits
  std::string CompanyName;
  int32_t FilingYear = 0;
  std::string Mode;
  std::string EraName;
  std::string DataFolder;
  std::string DataKey;
  std::string OutputFile;
  std::string Password;
  int32_t IncludeMyNumber = 0;
  std::string VersionMajor;
  std::string VersionMinor;
  std::string VersionRevision;

  // The error list the extraction fills; without one the lines go nowhere.
  ErrorList* Errors = nullptr;

  // The message of a settings file that could not be read at creation, or of a settings file or
  // folder whose name was ambiguous; start-up stops with it. Empty normally.
  std::string SettingsError;

  // Destruction then leaves DataSelect.ini as it was: a program stopped at start-up never ran.
  void DiscardSelection() { save_at_destruction_ = false; }

  // Told once when the selection cannot be saved at destruction; the argument is the CP932
  // message naming the file and the fault. By default the message goes to stderr as UTF-8.
  std::function<void(const std::string& cp932Message)> OnSaveError;

 private:
  Remembering remembering_;
  bool save_at_destruction_;
};

}  // namespace nc16
