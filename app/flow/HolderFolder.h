#pragma once
// Where a data set of the data list lies on this system. The list's Holder column names each data
// set's folder as the payroll product wrote it, on Windows; a list copied or mounted here keeps
// those paths. Texts are CP932.

#include <string>

namespace nc16 {

// `holder` without its first n bytes behind "~" when the text of `common_data_dir` (n bytes)
// occurs anywhere in it; otherwise `holder` unchanged.
std::string ShortenedPath(const std::string& holder, const std::string& common_data_dir);

// The data folder that a Holder names on this system. A list written on Windows holds Windows
// paths ("C:\ProgramData\VANTREL\MILVEKKYUYO\DB\DAT001", "\\server\share\...\DAT001"), which
// name no folder here: their components after the last one that equals, ignoring letter case,
// the last component of `common_data_dir` are found one by one (platform::ResolvePathCase) under
// `common_data_dir`, whose text the result keeps. `holder` unchanged when it is not in the
// Windows form (or this is Windows), holds a zero byte, no such component or "." or "..", or its
// mapped folder does not exist: the data-set check then refuses it. EOSError when a name on the way
// is ambiguous.
std::string LocalHolderFolder(const std::string& holder, const std::string& common_data_dir);

}  // namespace nc16
