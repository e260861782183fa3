// The rules of the wizard's pages, as every front end applies them.

#include "app/flow/PageChecks.h"

#include <gtest/gtest.h>

#include "document/Texts.h"
#include "platform/Cp932.h"

namespace nc16 {
namespace {

TEST(PageChecks, TableFileNamesAreRefusedInAnyCase) {
  for (const char* name : {"/d/mSyain.DB", "/d/tMNLog.db", "x.px", "/d/mSyain.MB", "a.X02", "a.y0f",
                           "a.XG0", "a.Yg1", "/d/.DB"})
    EXPECT_TRUE(IsTableFileName(name)) << name;
  for (const char* name : {"/d/a.xml", "/d/a.XML.QVE", "a.DBX", "a.D", "a.X0", "a.XGG", "a.X0G",
                           "/d.DB/a.xml", "a", "a.qve"})
    EXPECT_FALSE(IsTableFileName(name)) << name;
}

TEST(PageChecks, TheOfferedNameTakesTheExtensionOfItsForm) {
  struct Case {
    const char* remembered;
    const char* with;     // with individual numbers
    const char* without;  // without
  };
  for (const Case& c : {Case{"/d/out.xml", "/d/out.xml.qve", "/d/out.xml"},
                        Case{"/d/OUT.XML", "/d/OUT.XML.QVE", "/d/OUT.XML"},
                        Case{"/d/out.Xml", "/d/out.Xml", "/d/out.Xml"},
                        Case{"/d/out.xml.qve", "/d/out.xml.qve", "/d/out.xml"},
                        Case{"/d/OUT.Xml.Qve", "/d/OUT.Xml.Qve", "/d/OUT.Xml"},
                        Case{"/d/out.txt", "/d/out.txt", "/d/out.txt"}, Case{"", "", ""}}) {
    EXPECT_EQ(OfferedFileName(c.remembered, true), c.with) << c.remembered;
    EXPECT_EQ(OfferedFileName(c.remembered, false), c.without) << c.remembered;
  }
}

TEST(PageChecks, EachRuleGivesItsWarningInTheOrderOfThePage) {
  EXPECT_EQ(CheckManagementPassword(false, "", "secret"), std::nullopt);
  EXPECT_EQ(CheckManagementPassword(true, "", "secret"), texts::ManagementPasswordMissing());
  EXPECT_EQ(CheckManagementPassword(true, "Secret", "secret"), texts::ManagementPasswordWrong());
  EXPECT_EQ(CheckManagementPassword(true, "secret", "secret"), std::nullopt);
  // A company without a stored password can never be passed with individual numbers.
  EXPECT_EQ(CheckManagementPassword(true, "x", ""), texts::ManagementPasswordWrong());

  EXPECT_EQ(CheckOutputFileName(""), texts::FileMissing());
  EXPECT_EQ(CheckOutputFileName("/out.xml"), texts::SystemDriveRoot("/"));
  EXPECT_EQ(CheckOutputFileName("/tmp/mSyain.DB"), texts::TableFileName());
  EXPECT_EQ(CheckOutputFileName("/tmp/out.xml"), std::nullopt);

  EXPECT_EQ(CheckEncryptionPassword(true, ""), texts::EncryptionPasswordMissing());
  EXPECT_EQ(CheckEncryptionPassword(false, ""), std::nullopt);
  EXPECT_EQ(CheckEncryptionPassword(true, "pw"), std::nullopt);
}

}  // namespace
}  // namespace nc16
