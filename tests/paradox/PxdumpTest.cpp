// nc16 pxdump as a user runs it: the built program on fixture tables, its exact output.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "tests/ThirdPartyFixtures.h"
#include "tests/paradox/TestDir.h"

namespace {

struct DumpResult {
  std::string out;
  int status = -1;
};

DumpResult Pxdump(const std::string& args) {
  DumpResult r;
  const std::string cmd = std::string(NC16_BIN) + " pxdump " + args + " 2>/dev/null";
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
    r.out.append(buf.data(), n);
  r.status = ::pclose(p);
  return r;
}

std::string FirstLines(const std::string& s, int n) {
  size_t pos = 0;
  for (int i = 0; i < n && pos != std::string::npos; ++i) {
    pos = s.find('\n', pos);
    if (pos != std::string::npos) ++pos;
  }
  return s.substr(0, pos);
}

TEST(PxdumpTest, EveryFieldTypeInItsDumpForm) {
  NC16_NEEDS_FIXTURES();
  const DumpResult r = Pxdump(nc16::px::test::Fixture("rparadox/TypSammlung.DB").string());
  ASSERT_EQ(r.status, 0);
  EXPECT_EQ(FirstLines(r.out, 3),
            "Alpha\tNumerisch\tWährung\tInteger kurz\tInteger lang\tBCD\tDatum\tZeit\t"
            "Datum/Zeit\tMemo\tLogisch\tZähler\tBinär\tBytes\n"
            "AAA Irgendein Text\t40\t40\t40\t40\t40.000000\t1970-01-01\t00:00:00.000\t"
            "1970-01-01 11:00:00.000\t\\N\t\\N\t1\t\\N\t\\N\n"
            "Erste Zeile\t23\t\\N\t\\N\t\\N\t0.000000\t\\N\t\\N\t\\N\t\\N\tfalse\t3\t\\N\t\\N\n");
}

TEST(PxdumpTest, MemoEscapesAndCodePageOverride) {
  NC16_NEEDS_FIXTURES();
  const DumpResult memo = Pxdump(nc16::px::test::Fixture("paradoxdriver/fields/memo.db").string());
  ASSERT_EQ(memo.status, 0);
  EXPECT_NE(memo.out.find("\n2\t01234567890\\n\n"), std::string::npos);
  // of.db records no code page although its text is CP866.
  const DumpResult ru =
      Pxdump("--codepage 866 " + nc16::px::test::Fixture("rparadox/of.db").string());
  ASSERT_EQ(ru.status, 0);
  EXPECT_EQ(ru.out.substr(0, ru.out.find('\t')), "Инвентарный номер");
}

TEST(PxdumpTest, FailuresAreReportedWithStatus) {
  NC16_NEEDS_FIXTURES();
  EXPECT_NE(Pxdump(nc16::px::test::Fixture("paradoxdriver/encrypt/encrypted.db").string()).status,
            0);
  EXPECT_NE(Pxdump("/nonexistent/table.db").status, 0);
  EXPECT_NE(Pxdump("").status, 0);
}

}  // namespace
