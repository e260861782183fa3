// Broken tables built in code from a good one: each fault gives a ParadoxError that names the
// file and the fault, never a crash, a hang or a read outside the file.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <fstream>
#include <functional>

#include "external/paradox/ParadoxFormat.h"
#include "external/paradox/ParadoxTable.h"
#include "external/paradox/ParadoxWriter.h"
#include "platform/Cp932.h"
#include "tests/paradox/TestDir.h"

namespace nc16::px {
namespace {

using format::PutU16;
using format::PutU32;

// A good table: Long key + memo with a 5-byte leader, 1 KiB blocks, 200 records over several
// blocks, the first memo in the .MB file.
struct Good {
  std::string db, mb;
  int header_size = 0;
};

const Good& GoodTable() {
  static const Good good = [] {
    test::TestDir dir;
    TableDef def;
    def.fields = {{"Id", FieldType::Long, 0}, {"Memo", FieldType::Memo, 5}};
    def.block_size = 1024;
    CreateTable(dir / "g.DB", def);
    {
      TableWriter w(dir / "g.DB");
      w.Append({int64_t{0}, std::string(100, 'm')});
      for (int i = 1; i < 200; ++i)
        w.Append({int64_t{i}, std::string("ab")});
    }
    Good g{test::ReadFile(dir / "g.DB"), test::ReadFile(dir / "g.MB"), 0};
    g.header_size = format::U16(reinterpret_cast<const uint8_t*>(g.db.data()) + 2);
    return g;
  }();
  return good;
}

// Opens the bytes and reads every value; returns the error text, or "" when all went well.
std::string OpenAndRead(const std::string& db, const std::string& mb) {
  try {
    Table t("broken.DB", db, mb);
    t.ReadAll();
    return "";
  } catch (const ParadoxError& e) {
    return e.what();
  }
}

struct Corruption {
  const char* name;
  const char* fault;  // a piece of the expected message
  std::function<void(std::string& db, std::string& mb, int header_size)> apply;
};

uint8_t* U(std::string& s, size_t at) {
  return reinterpret_cast<uint8_t*>(s.data()) + at;
}

// The first data block's offset in the good table (the chain starts wherever the writer put it).
size_t FirstBlock(const std::string& db, int hs) {
  return hs + (format::U16(reinterpret_cast<const uint8_t*>(db.data()) + 0x0E) - 1) * 1024u;
}

const std::vector<Corruption>& Corruptions() {
  static const std::vector<Corruption> all = {
      {"empty file", "too short", [](auto& db, auto&, int) { db.clear(); }},
      {"short header", "too short", [](auto& db, auto&, int) { db.resize(0x50); }},
      {"cut inside the header", "beyond the end of the file",
       [](auto& db, auto&, int) { db.resize(0x400); }},
      {"cut inside the blocks", "cut off by the end of the file",
       [](auto& db, auto&, int hs) { db.resize(FirstBlock(db, hs) + 100); }},
      {"header size too small", "too small", [](auto& db, auto&, int) { PutU16(U(db, 2), 0x20); }},
      {"record size zero", "invalid record size",
       [](auto& db, auto&, int) { PutU16(U(db, 0), 0); }},
      {"record size larger than a block", "invalid record size",
       [](auto& db, auto&, int) { PutU16(U(db, 0), 5000); }},
      {"record size not the fields' sum", "fields take",
       [](auto& db, auto&, int) { PutU16(U(db, 0), 20); }},
      {"block size code", "invalid block size code", [](auto& db, auto&, int) { db[5] = 5; }},
      {"file version", "unknown file version", [](auto& db, auto&, int) { db[0x39] = 99; }},
      {"file type", "not a data table", [](auto& db, auto&, int) { db[4] = 1; }},
      {"no fields", "no fields", [](auto& db, auto&, int) { PutU16(U(db, 0x21), 0); }},
      {"huge field count", "do not fit in the header",
       [](auto& db, auto&, int) { PutU16(U(db, 0x21), 60000); }},
      {"key count above field count", "key field count",
       [](auto& db, auto&, int) { PutU16(U(db, 0x23), 9); }},
      {"unknown field type", "unknown type", [](auto& db, auto&, int) { db[0x78] = 0x42; }},
      {"long of size 3", "invalid size", [](auto& db, auto&, int) { db[0x79] = 3; }},
      {"field names not terminated", "runs past the header",
       [](auto& db, auto&, int hs) {
         for (int i = 0x78 + 2 * 2 + 4 + 2 * 4 + 261; i < hs; ++i)
           db[i] = 'A';
       }},
      {"first block beyond the file", "beyond the end of the file",
       [](auto& db, auto&, int) { PutU16(U(db, 0x0E), 999); }},
      {"block chain loop", "loops back",
       [](auto& db, auto&, int hs) {
         const size_t first = FirstBlock(db, hs);
         const int second = format::U16(U(db, first));
         PutU16(U(db, hs + (second - 1) * 1024u), format::U16(U(db, 0x0E)));
       }},
      {"block chain to itself", "loops back",
       [](auto& db, auto&, int hs) {
         PutU16(U(db, FirstBlock(db, hs)), format::U16(U(db, 0x0E)));
       }},
      {"record offset not whole", "invalid record offset",
       [](auto& db, auto&, int hs) { PutU16(U(db, FirstBlock(db, hs) + 4), 7); }},
      {"record offset negative", "invalid record offset",
       [](auto& db, auto&, int hs) { PutU16(U(db, FirstBlock(db, hs) + 4), 0x8000); }},
      {"block claims too many records", "more than fit",
       [](auto& db, auto&, int hs) { PutU16(U(db, FirstBlock(db, hs) + 4), 19 * 200); }},
      {"huge record count", "header counts",
       [](auto& db, auto&, int) { PutU32(U(db, 6), 0xFFFFFFFF); }},
      {"record count one too low", "header counts 199 records, the blocks hold 200",
       [](auto& db, auto&, int) { PutU32(U(db, 6), 199); }},
      {"record count zero", "header counts 0 records, the blocks hold 200",
       [](auto& db, auto&, int) { PutU32(U(db, 6), 0); }},
      {"encrypted", "", [](auto& db, auto&, int) { PutU32(U(db, 0x5C), 0x12345678); }},
      {"blob offset beyond the .MB", "beyond the .MB file",
       [](auto& db, auto&, int hs) { PutU32(U(db, FirstBlock(db, hs) + 6 + 4 + 5), 0x7FFFFFFF); }},
      {"blob block of the wrong type", "block of type 4",
       [](auto&, auto& mb, int) { mb[4096] = 4; }},
      {"blob length differs", "different length",
       [](auto&, auto& mb, int) { PutU32(U(mb, 4096 + 3), 99); }},
      {"blob longer than the .MB", "different length",
       [](auto& db, auto&, int hs) {
         PutU32(U(db, FirstBlock(db, hs) + 6 + 4 + 5 + 4), 1u << 30);
       }},
      {"blob slot of a suballocated block", "out of range",
       [](auto& db, auto& mb, int hs) {
         mb[4096] = 3;
         U(db, FirstBlock(db, hs) + 6 + 4 + 5)[0] = 200;
       }},
      {"missing .MB file", "missing .MB", [](auto&, auto& mb, int) { mb.clear(); }},
  };
  return all;
}

class CorruptionTest : public ::testing::TestWithParam<size_t> {};

TEST_P(CorruptionTest, GivesANamedFault) {
  const Good& good = GoodTable();
  ASSERT_EQ(OpenAndRead(good.db, good.mb), "");
  const Corruption& c = Corruptions()[GetParam()];
  SCOPED_TRACE(c.name);
  std::string db = good.db, mb = good.mb;
  c.apply(db, mb, good.header_size);
  if (std::string(c.name) == "encrypted") {
    EXPECT_THROW(Table("broken.DB", db, mb), EncryptedTableError);
    return;
  }
  const std::string error = OpenAndRead(db, mb);
  EXPECT_NE(error.find("broken.DB"), std::string::npos) << error;
  EXPECT_NE(error.find(c.fault), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(Each, CorruptionTest, ::testing::Range<size_t>(0, Corruptions().size()));

// Every truncation and every single-byte change of the header either reads or fails cleanly.
TEST(CorruptionSweepTest, TruncationsAndHeaderBytes) {
  const Good& good = GoodTable();
  for (size_t n = 0; n < good.db.size(); n += 97)
    OpenAndRead(good.db.substr(0, n), good.mb);
  for (size_t n = 0; n < good.mb.size(); n += 61)
    OpenAndRead(good.db, good.mb.substr(0, n));
  for (size_t at = 0; at < 0x100; ++at)
    for (int v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
      std::string db = good.db;
      db[at] = static_cast<char>(v);
      try {
        OpenAndRead(db, good.mb);
      } catch (const EncryptedTableError&) {
      }
    }
}

}  // namespace
}  // namespace nc16::px

namespace nc16::px {
namespace {

TEST(CorruptionFileTest, OversizedFileIsRefusedBeforeReading) {
  test::TestDir dir;
  test::WriteFile(dir / "huge.DB", GoodTable().db);
  std::filesystem::resize_file(dir / "huge.DB", 3ull << 30);  // sparse: costs no disk
  try {
    Table t(dir / "huge.DB");
    ADD_FAILURE() << "opened";
  } catch (const ParadoxError& e) {
    EXPECT_NE(std::string(e.what()).find("larger than any Paradox table"), std::string::npos);
  }
}

#if defined(__SANITIZE_ADDRESS__)
#define NC16_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NC16_ASAN 1
#endif
#endif

#ifndef _WIN32  // an address-space limit for one child process: POSIX only
// A header that claims 4,294,967,295 records in a file of 1 GiB (sparse), opened with little
// address space left: a named fault, found before the file is read whole, never
// std::bad_alloc. So is a file whose count fits but that the memory cannot hold.
TEST(CorruptionFileTest, CountsAndSizesBeyondTheMemoryAreNamedFaults) {
#ifdef NC16_ASAN
  GTEST_SKIP() << "the sanitizer's allocator reserves more address space than the limit allows";
#endif
  test::TestDir dir;
  std::string claims = GoodTable().db;
  PutU32(U(claims, 6), 0xFFFFFFFF);
  test::WriteFile(dir / "claims.DB", claims);
  std::filesystem::resize_file(dir / "claims.DB", 1ull << 30);
  test::WriteFile(dir / "large.DB", GoodTable().db);
  std::filesystem::resize_file(dir / "large.DB", 1ull << 30);
  for (auto [file, fault] : {std::pair{"claims.DB", "header counts 4294967295 records, a file of"},
                             {"large.DB", "メモリが足りません"}}) {
    SCOPED_TRACE(file);
    const std::string path = dir / file;
    const std::string expected = Utf8ToCp932(fault);
    const pid_t child = ::fork();
    if (child == 0) {
      // 256 MiB more than the process maps now: less than the file.
      long pages = 0;
      std::ifstream("/proc/self/statm") >> pages;
      const rlim_t limit = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (256u << 20);
      const rlimit rl{limit, limit};
      ::setrlimit(RLIMIT_AS, &rl);
      try {
        Table t(path);
        ::_exit(1);
      } catch (const ParadoxError& e) {
        ::_exit(std::string(e.what()).find(expected) != std::string::npos ? 0 : 2);
      } catch (...) {
        ::_exit(3);
      }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1 opened, 2 another fault, 3 another exception";
  }
}
#endif

TEST(CorruptionFileTest, MissingFileNamesIt) {
  try {
    Table t("/nonexistent/mKaisya.db");
    ADD_FAILURE() << "opened";
  } catch (const ParadoxError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/mKaisya.db"), std::string::npos);
  }
}

}  // namespace
}  // namespace nc16::px
