// The intermediate files of the output step on Windows, plain and encrypted: from the moment
// they exist, their access list lets the current user alone in.

#include <gtest/gtest.h>

#include "app/flow/OutputStep.h"
#include "external/qvcrypt/QvCryptLib.h"
#include "extract/ErrorList.h"
#include "platform/Cp932.h"
#include "platform/win32/Sid.h"
#include "tests/extract/DataSetBuilder.h"
#include "tests/platform/TempFolder.h"
#include "tests/platform/Win32AccessList.h"

namespace nc16::test {
namespace {

using nc16::testing::AccessList;
using nc16::testing::Entry;

TEST(Win32OutputAccess, IntermediateFilesAreTheCurrentUsersAlone) {
  nc16::testing::TempFolder data, out;
  nc16::testing::ScopedEnv registry("NC16_REGISTRY", data / "none.ini");
  nc16::testing::ScopedEnv common("NC16_COMMON_APPDATA", data.Path().string());
  DataSetBuilder set(700005);
  set.AddEmployee(1, "0001", "社員1");
  set.Write(data.Path());
  const QvCryptKdfLimits fast{1, 8192};
  ErrorList errors;
  for (const int my_number : {0, 1}) {
    SCOPED_TRACE(my_number);
    TDataExportInfo info("", "pw", 0, Remembering::kNothing);
    info.DataFolder = FromNativePath(data.Path());
    info.OutputFile = out / (my_number != 0 ? "a.xml.qve" : "a.xml");
    info.IncludeMyNumber = my_number;
    info.Mode = "NORMAL";
    info.Errors = &errors;
    OutputContext context;
    context.target = info.OutputFile;
    context.kdf_limits = &fast;
    ASSERT_EQ(MakeIntermediateFile(info, context).result, ExportResult::kWritten);
    EXPECT_EQ(AccessList(info.OutputFile),
              std::vector<Entry>({{ACCESS_ALLOWED_ACE_TYPE, platform::win32::CurrentUserSid()}}));
  }
}

}  // namespace
}  // namespace nc16::test
