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

// The file page, for the file's name: given; on a current Windows not directly in the root of
// the system drive; not named like a payroll table's file (IsTableFileName).
std::optional<std::string> CheckOutputFileName(std::string_view file);

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
