#pragma once
// The rules the wizard's pages apply on Next, as plain functions. Each check gives the warning
// that keeps the user on the page, or nothing; the command line and the batch apply the same
// rules to what they are given. Texts are CP932.

#include <optional>
#include <string>
#include <string_view>

namespace nc16 {

// The My Number page: with individual numbers chosen, the typed management password must be
// there and equal the company's, byte for byte (letter case counts).
std::optional<std::string> CheckManagementPassword(bool with_my_number, std::string_view typed,
                                                   std::string_view stored);

// The file page, for the name as the window gives it (UTF-8), before it becomes CP932: every
// character must have a CP932 form. The name is never changed behind the user's back (a "?" for
// each character CP932 cannot hold would write another file than the one the user named).
std::optional<std::string> CheckFileNameText(std::string_view utf8);

// The file page, for the file's name: given, and more than blanks after its folder; on a current
// Windows not directly in the root of the system drive; not named like a payroll table's file
// (IsTableFileName).
std::optional<std::string> CheckOutputFileName(std::string_view file);

// Where the file page's name is written: a bare name in the Documents folder (else the home
// folder, ResolveOutputPath), each part in the letter case the file system has (ResolvePathCase,
// which raises EOSError for a folder holding two entries that differ only in case).
std::string OutputTargetOf(std::string_view file);

// The file page, for the place `target` (OutputTargetOf): what the export would only find when it
// writes. Not a folder, nor anything else but a regular file; in a folder that exists and lets
// this user create files. Each warning names the path it is about.
std::optional<std::string> CheckOutputTarget(std::string_view target);

// The question the file page asks before an existing file `target` is replaced; nothing when there
// is no such file.
std::optional<std::string> ReplaceQuestion(std::string_view target);

// The file page, for the encryption password: needed when individual numbers go out.
std::optional<std::string> CheckEncryptionPassword(bool with_my_number, std::string_view password);

// True when the file name ends in an extension of a Paradox table's files, in any case: .DB
// (the table), .PX (primary index), .MB (memos), .Xnn and .Ynn (secondary indexes: nn is two
// hexadecimal digits, or G and one for composite indexes). The intermediate file never takes
// such a name, whether or not the file exists: over an existing one the export would destroy
// payroll data, and a new one beside a table of the same name would be read by the database
// engine as part of that table.
bool IsTableFileName(std::string_view file_name);

// True when the name ends in ".xml.qve", in any letter case.
bool EndsWithXmlQve(std::string_view file_name);

// The name the file page offers for `file` (the remembered one): with individual numbers, a
// name ending in ".xml" gets ".qve" (".XML" gets ".QVE"; other endings stay); without, a name
// ending in ".xml.qve" loses ".qve".
std::string OfferedFileName(std::string file, bool with_my_number);

}  // namespace nc16
