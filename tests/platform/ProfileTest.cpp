#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <functional>

#include "platform/Cp932.h"
#include "platform/Platform.h"
#include "tests/platform/TempFolder.h"

namespace nc16::platform {
namespace {

using nc16::testing::FolderEntries;
using nc16::testing::ReadFile;
using nc16::testing::TempFolder;
using nc16::testing::WriteFile;

class ProfileTest : public ::testing::Test {
 protected:
  std::string Ini(const std::string& content) {
    WriteFile(file_, content);
    return file_;
  }
  std::string Read(std::string_view section, std::string_view key, std::string_view def = "<none>",
                   size_t max = 2047) {
    return ReadProfileString(file_, section, key, def, max);
  }

  TempFolder dir_;
  std::string file_ = dir_ / "DataSelect.ini";
};

TEST_F(ProfileTest, ReadsLikeTheWindowsProfileFunctions) {
  Ini(";comment\r\n"
      "orphan=before any section\r\n"
      "[Other]\r\n"
      "DATA=wrong section\r\n"
      "  [ nencho ]  \r\n"
      "  Data  =  key1  \r\n"
      "komonsaki=\"  quoted  \"\r\n"
      "single='x'\r\n"
      "unpaired=\"x'\r\n"
      "lonequote=\"\r\n"
      "data=second key of the same name\r\n"
      "novalue\r\n"
      "empty=\r\n"
      "[NENCHO]\r\n"
      "EXPORTFILE=second section of the same name\r\n"
      "[a]b]\r\n"
      "k=the last ] closes the name\r\n");
  EXPECT_EQ(Read("NENCHO", "DATA"), "key1");
  EXPECT_EQ(Read("NENCHO", "KOMONSAKI"), "  quoted  ");
  EXPECT_EQ(Read("NENCHO", "single"), "x");
  EXPECT_EQ(Read("NENCHO", "unpaired"), "\"x'");
  EXPECT_EQ(Read("NENCHO", "lonequote"), "\"");
  EXPECT_EQ(Read("NENCHO", "empty"), "");
  // Only the first section of a name counts, and a line without "=" is no entry.
  EXPECT_EQ(Read("NENCHO", "EXPORTFILE"), "<none>");
  EXPECT_EQ(Read("NENCHO", "novalue"), "<none>");
  EXPECT_EQ(Read("NENCHO", "orphan"), "<none>");
  EXPECT_EQ(Read("Other", "data"), "wrong section");
  EXPECT_EQ(Read("a]b", "k"), "the last ] closes the name");
  EXPECT_EQ(Read("a", "k"), "<none>");
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Read("NENCHO", "DATA", "dflt"), "dflt");
  Ini("[NENCHO]\nDATA=1\n");
  EXPECT_EQ(Read("VERSION", "MAJOR", "1"), "1");
  EXPECT_EQ(Read("NENCHO", "MAJOR", "00"), "00");
  // The default loses its trailing blanks, as the Windows function strips them.
  EXPECT_EQ(Read("NENCHO", "MAJOR", "000  "), "000");
  // LF-only and CR-only files read the same.
  Ini("[NENCHO]\rDATA=cr\r");
  EXPECT_EQ(Read("NENCHO", "DATA"), "cr");
}

TEST_F(ProfileTest, DoubleByteNamesAndValuesAreKeptWhole) {
  // ソ is 0x83 0x5C and ― is 0x81 0x5D: trail bytes that look like "\" and "]".
  std::string section = Utf8ToCp932("ソ―");
  std::string value = Utf8ToCp932("表示ソフト");
  Ini("[" + section + "]\r\n" + Utf8ToCp932("会社") + "=" + value + "\r\n");
  EXPECT_EQ(Read(section, Utf8ToCp932("会社")), value);
  EXPECT_EQ(Read(Utf8ToCp932("ソ"), Utf8ToCp932("会社")), "<none>");
  // ア is 0x83 0x41 and ヂ 0x83 0x61: only a trail byte's letter case tells them apart.
  Ini(std::string("[") + Utf8ToCp932("ア") + "]\r\nK=a\r\n");
  EXPECT_EQ(Read(Utf8ToCp932("ア"), "k"), "a");
  EXPECT_EQ(Read(Utf8ToCp932("ヂ"), "k"), "<none>");
}

TEST_F(ProfileTest, LongValuesAreCutAtTheBufferWithoutSplittingACharacter) {
  std::string ascii(3000, 'a');
  // 2046 ASCII bytes, then a double-byte character that would end one byte past the limit.
  std::string tricky = std::string(2046, 'b') + Utf8ToCp932("給与");
  Ini("[NENCHO]\r\nA=" + ascii + "\r\nB=" + tricky + "\r\n");
  EXPECT_EQ(Read("NENCHO", "A"), std::string(2047, 'a'));
  EXPECT_EQ(Read("NENCHO", "B"), std::string(2046, 'b'));
  EXPECT_EQ(Read("NENCHO", "B", "", 2048), std::string(2046, 'b') + Utf8ToCp932("給"));
}

TEST_F(ProfileTest, WritingKeepsEverythingElseByteForByte) {
  Ini("; written by hand\n"
      "[Window]\r\n"
      "Left=10\r\n"
      "[nencho]\r\n"
      "EXTRA=keep me\r\n"
      "data = old\r\n"
      "Zeta=last\r\n"
      "\r\n"
      "[After]\r\n"
      "x=1");
  std::vector<ProfileEntry> entries{{"DATA", "new"}, {"KOMONSAKI", Utf8ToCp932("株式会社")}};
  WriteProfileStrings(file_, "NENCHO", entries);
  EXPECT_EQ(ReadFile(file_),
            "; written by hand\n"
            "[Window]\r\n"
            "Left=10\r\n"
            "[nencho]\r\n"
            "EXTRA=keep me\r\n"
            "data=new\r\n"
            "Zeta=last\r\n" +
                Utf8ToCp932("KOMONSAKI=株式会社\r\n") +
                "\r\n"
                "[After]\r\n"
                "x=1");
  // A new section goes to the end, after a line break the file lacked.
  WriteProfileString(file_, "VERSION", "MAJOR", "7");
  EXPECT_TRUE(ReadFile(file_).ends_with("x=1\r\n[VERSION]\r\nMAJOR=7\r\n"));
  EXPECT_EQ(Read("version", "major"), "7");
  EXPECT_EQ(Read("After", "x"), "1");
}

TEST_F(ProfileTest, WritingCreatesTheFileButNeverTheFolder) {
  WriteProfileString(file_, "NENCHO", "DATA", "k");
  EXPECT_EQ(ReadFile(file_), "[NENCHO]\r\nDATA=k\r\n");

  std::string deeper = dir_ / "missing/DataSelect.ini";
  try {
    WriteProfileString(deeper, "NENCHO", "DATA", "k");
    FAIL() << "no error";
  } catch (const EOSError& e) {
    EXPECT_NE(std::string(e.what()).find(deeper), std::string::npos) << e.what();
  }
  EXPECT_FALSE(DirectoryExists(dir_ / "missing"));
}

TEST_F(ProfileTest, AValueIsOneLine) {
  WriteProfileString(file_, "NENCHO", "DATA", "first\r\n[Injected]\r\nx=1");
  EXPECT_EQ(Read("NENCHO", "DATA"), "first");
  EXPECT_EQ(Read("Injected", "x"), "<none>");
}

#ifndef _WIN32  // a child process under a file-size limit, FIFOs and devices: POSIX only
TEST_F(ProfileTest, AWriteThatFailsHalfWayLeavesTheOldFileAndNoTemporary) {
  std::string old = "[NENCHO]\r\nDATA=old\r\n[Foreign]\r\nkeep=1\r\n";
  Ini(old);
  // The child may write at most 4 KiB per file: the new 64 KiB file breaks off in the middle
  // of writing, a real short write followed by EFBIG.
  pid_t pid = ::fork();
  if (pid == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    try {
      WriteProfileString(file_, "NENCHO", "DATA", std::string(65536, 'n'));
    } catch (const EOSError& e) {
      ::_exit(std::string(e.what()).find(file_) != std::string::npos ? 0 : 2);
    }
    ::_exit(1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write did not fail; 2: message without file name";
  EXPECT_EQ(ReadFile(file_), old);
  EXPECT_EQ(FolderEntries(dir_.Path()), std::vector<std::string>{"DataSelect.ini"});
}

// What is there and is no regular file of a settings file's size is an error naming the file
// and the cause, for a read and for a write, and is left as it is. A FIFO has no writer here: an
// open that waited for one would never return.
TEST_F(ProfileTest, WhatIsNoSmallRegularFileIsAnErrorNotADefault) {
  struct Case {
    const char* what;
    std::function<void()> make;
    std::string cause;  // UTF-8
  };
  const std::vector<Case> cases = {
      {"a folder", [&] { std::filesystem::create_directory(file_); }, "フォルダーです"},
      {"a FIFO", [&] { ASSERT_EQ(::mkfifo(file_.c_str(), 0600), 0); },
       "通常のファイルではありません"},
      {"a link to a device", [&] { std::filesystem::create_symlink("/dev/zero", file_); },
       "通常のファイルではありません"},
      {"a file over 1 MiB", [&] { Ini("[NENCHO]\r\nDATA=k\r\n" + std::string(1 << 20, ';')); },
       "大きすぎます"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(file_);
    c.make();
    const auto size = std::filesystem::status(file_).type() == std::filesystem::file_type::regular
                          ? std::filesystem::file_size(file_)
                          : 0;
    for (const auto& call : std::vector<std::function<void()>>{
             [&] { Read("NENCHO", "DATA", "d"); },
             [&] { WriteProfileString(file_, "NENCHO", "DATA", "k"); }}) {
      try {
        call();
        ADD_FAILURE() << "no error";
      } catch (const EOSError& e) {
        const std::string message = Cp932ToUtf8(e.what());
        EXPECT_NE(message.find(file_), std::string::npos) << message;
        EXPECT_NE(message.find(c.cause), std::string::npos) << message;
      }
    }
    EXPECT_EQ(FolderEntries(dir_.Path()), std::vector<std::string>{"DataSelect.ini"});
    if (size != 0) {
      EXPECT_EQ(std::filesystem::file_size(file_), size);
    }
  }
}
#endif

}  // namespace
}  // namespace nc16::platform
