#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include "tests/platform/TempFolder.h"

namespace nc16 {
namespace {

using nc16::testing::FolderEntries;
using nc16::testing::ReadFile;
using nc16::testing::TempFolder;
using nc16::testing::WriteFile;

mode_t ModeOf(const std::filesystem::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

// A folder on a real file system without unnamed files: a FUSE mirror (bindfs) of a temporary
// folder. Not mounted where bindfs or /dev/fuse is missing.
class FuseMirror {
 public:
  FuseMirror() {
    std::filesystem::create_directory(dir_.Path() / "source");
    std::filesystem::create_directory(Path());
    const std::string command = "bindfs '" + (dir_.Path() / "source").string() + "' '" +
                                Path().string() + "' >/dev/null 2>&1";
    mounted_ = std::system(command.c_str()) == 0;
  }
  ~FuseMirror() {
    if (!mounted_) return;
    const std::string command = "fusermount -u '" + Path().string() + "' >/dev/null 2>&1";
    (void)!std::system(command.c_str());
  }
  FuseMirror(const FuseMirror&) = delete;
  FuseMirror& operator=(const FuseMirror&) = delete;
  bool Mounted() const { return mounted_; }
  std::filesystem::path Path() const { return dir_.Path() / "mirror"; }

 private:
  TempFolder dir_;
  bool mounted_ = false;
};

// Where the temporaries of a test come from: unnamed ones on this file system; named ones on a
// real file system without unnamed files; named ones because the test seam says so (the same
// code path, for machines that cannot mount the mirror).
enum class Temporaries { kUnnamed, kNamedOnFuse, kNamedBySeam };

class AtomicFileTest : public ::testing::TestWithParam<Temporaries> {
 protected:
  void SetUp() override {
    if (GetParam() == Temporaries::kNamedBySeam) AtomicFile::AllowUnnamedForTesting(false);
    if (GetParam() == Temporaries::kNamedOnFuse) {
      fuse_ = std::make_unique<FuseMirror>();
      if (!fuse_->Mounted()) GTEST_SKIP() << "no bindfs or /dev/fuse here";
    }
  }
  void TearDown() override { AtomicFile::AllowUnnamedForTesting(true); }
  bool Unnamed() const { return GetParam() == Temporaries::kUnnamed; }
  // The folder the test writes in.
  std::filesystem::path Dir() const { return fuse_ ? fuse_->Path() : dir_.Path(); }

 private:
  TempFolder dir_;
  std::unique_ptr<FuseMirror> fuse_;
};

INSTANTIATE_TEST_SUITE_P(Temporaries, AtomicFileTest,
                         ::testing::Values(Temporaries::kUnnamed, Temporaries::kNamedOnFuse,
                                           Temporaries::kNamedBySeam),
                         [](const auto& info) -> std::string {
                           switch (info.param) {
                             case Temporaries::kUnnamed:
                               return "Unnamed";
                             case Temporaries::kNamedOnFuse:
                               return "NamedOnFuse";
                             default:
                               return "NamedBySeam";
                           }
                         });

TEST_P(AtomicFileTest, AnAbandonedWriteLeavesTheOldFileAndNoTemporary) {
  std::filesystem::path target = Dir() / "out.xml";
  WriteFile(target, "old");
  {
    AtomicFile file(target);
    file.Write("half of the new");
    EXPECT_EQ(file.TempPath().empty(), Unnamed());
    EXPECT_EQ(FolderEntries(Dir()).size(), Unnamed() ? 1u : 2u);
  }
  EXPECT_EQ(ReadFile(target), "old");
  EXPECT_EQ(FolderEntries(Dir()), std::vector<std::string>{"out.xml"});
}

TEST_P(AtomicFileTest, AReplacedFileKeepsItsPermissions) {
  std::filesystem::path target = Dir() / "DataSelect.ini";
  WriteFile(target, "old");
  ::chmod(target.c_str(), 0640);
  WriteFileAtomic(target, "new");
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(ModeOf(target), 0640u);
}

TEST_P(AtomicFileTest, OwnerOnlyFilesArePrivateFromTheStart) {
  std::filesystem::path target = Dir() / "secret.qve";
  WriteFile(target, "old");
  ::chmod(target.c_str(), 0644);
  const mode_t old_umask = ::umask(0);
  AtomicFile file(target, FileAccess::kOwnerOnly);
  ::umask(old_umask);
  if (!Unnamed()) {
    EXPECT_EQ(ModeOf(file.TempPath()), 0600u);
  }
  file.Write("new");
  file.Commit();
  EXPECT_EQ(ModeOf(target), 0600u);
  EXPECT_EQ(ReadFile(target), "new");
  EXPECT_EQ(FolderEntries(Dir()), std::vector<std::string>{"secret.qve"});
}

// A child that starts writing `target` and then waits to be killed; its process id.
pid_t StartWriterThatHangs(const std::filesystem::path& target) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  pid_t pid = ::fork();
  if (pid == 0) {
    AtomicFile file(target);
    file.Write(std::string(1 << 20, 'x'));
    (void)!::write(ready[1], "1", 1);
    while (true)
      ::pause();
  }
  char c;
  (void)!::read(ready[0], &c, 1);
  ::close(ready[0]);
  ::close(ready[1]);
  return pid;
}

TEST_P(AtomicFileTest, AKilledWriterLeavesNothingThatTheNextWriteKeeps) {
  const auto target = Dir() / "out.xml";
  WriteFile(target, "old");
  const pid_t killed = StartWriterThatHangs(target);
  ASSERT_GT(killed, 0);
  ::kill(killed, SIGKILL);
  ::waitpid(killed, nullptr, 0);
  const std::string leftover = "out.xml.tmp-" + std::to_string(killed) + "-";
  auto entries = FolderEntries(Dir());
  if (Unnamed()) {
    // The unnamed file died with its writer. A kill between naming it and the rename would
    // leave this:
    EXPECT_EQ(entries, std::vector<std::string>{"out.xml"});
    WriteFile(Dir() / (leftover + "7"), "x");
  } else {
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[1].starts_with(leftover)) << entries[1];
  }
  // Not ours to remove: a live writer's temporary, another target's, names of another form.
  const pid_t alive = StartWriterThatHangs(target);
  const std::vector<std::string> kept = {"other.xml.tmp-" + std::to_string(killed) + "-1",
                                         "out.xml.tmp--1", "out.xml.tmp-1-",
                                         "out.xml.tmp-" + std::to_string(killed)};
  for (const auto& name : kept)
    WriteFile(Dir() / name, "x");

  WriteFileAtomic(target, "new");
  EXPECT_EQ(ReadFile(target), "new");
  entries = FolderEntries(Dir());
  EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                          [&](const std::string& e) { return e.starts_with(leftover); }),
            0);
  for (const auto& name : kept)
    EXPECT_NE(std::find(entries.begin(), entries.end(), name), entries.end()) << name;
  EXPECT_EQ(entries.size(), 1 + kept.size() + (Unnamed() ? 0 : 1)) << "the live writer's";
  ::kill(alive, SIGKILL);
  ::waitpid(alive, nullptr, 0);
}

// A writer on another machine of a shared folder: its process id means nothing here (no such
// process), but it holds its temporary locked, and the lock is what keeps it. A user's file that
// only looks like a temporary (another word than "tmp") is never touched.
TEST_P(AtomicFileTest, ATemporaryItsWriterHoldsIsKeptWhateverItsProcessId) {
  const auto target = Dir() / "out.xml";
  WriteFile(target, "old");
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ::waitpid(gone, nullptr, 0);
  const std::string remote = "out.xml.tmp-" + std::to_string(gone) + "-42";
  WriteFile(Dir() / remote, "the other machine's half-written file");
  const std::vector<std::string> users = {"out.xml.bak-2023-1",
                                          "out.xml.bak-" + std::to_string(gone) + "-1",
                                          "out.xml.tmp-2023-1.keep", "out.xml.tmp-2023-1a"};
  for (const auto& name : users)
    WriteFile(Dir() / name, "the user's");
  {
    // The writer's lock, as its own open file holds it.
    const int held = ::open((Dir() / remote).c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    WriteFileAtomic(target, "new");
    EXPECT_EQ(ReadFile(Dir() / remote), "the other machine's half-written file");
    ::close(held);
  }
  for (const auto& name : users)
    EXPECT_EQ(ReadFile(Dir() / name), "the user's") << name;
  // Once nobody holds it, it is a leftover like any other.
  WriteFileAtomic(target, "newer");
  const auto entries = FolderEntries(Dir());
  EXPECT_EQ(std::find(entries.begin(), entries.end(), remote), entries.end());
  EXPECT_EQ(entries.size(), 1 + users.size());
}

TEST_P(AtomicFileTest, AMissingFolderIsAnErrorNamingTheFile) {
  std::filesystem::path target = Dir() / "missing" / "out.xml";
  try {
    WriteFileAtomic(target, "x");
    FAIL() << "no error";
  } catch (const EOSError& e) {
    EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
  }
}

// Every file the program writes goes through here: a target that is not a regular file is kept,
// whatever writes it (the intermediate file, DataSelect.ini, the My Number log, a report).
TEST_P(AtomicFileTest, ATargetThatIsNotARegularFileIsNeverReplaced) {
  const std::filesystem::path fifo = Dir() / "fifo", link = Dir() / "link", folder = Dir() / "dir";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::ofstream(Dir() / "target") << "kept";
  std::filesystem::create_symlink(Dir() / "target", link);
  std::filesystem::create_directory(folder);
  for (const auto& target : {fifo, link, folder, std::filesystem::path("/dev/null")}) {
    try {
      WriteFileAtomic(target, "new");
      ADD_FAILURE() << target << " replaced";
    } catch (const EOSError& e) {
      EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
    }
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_EQ(std::filesystem::file_size(Dir() / "target"), 4u);
}

// What appears in the target's place while the new file is written: a regular file is replaced
// as any old file is; anything else is kept, and the new file is not left behind under any name.
TEST_P(AtomicFileTest, WhatAppearsInTheTargetsPlaceMeanwhileIsReplacedOnlyWhenAFile) {
  const std::filesystem::path target = Dir() / "out.xml";
  using Make = void (*)(const std::filesystem::path&);
  const struct {
    const char* kind;
    Make make;
    bool replaced;
  } cases[] = {
      {"file", [](const std::filesystem::path& p) { std::ofstream(p) << "other"; }, true},
      {"folder", [](const std::filesystem::path& p) { std::filesystem::create_directory(p); },
       false},
      {"link", [](const std::filesystem::path& p) { std::filesystem::create_symlink("gone", p); },
       false},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(target);
    {
      AtomicFile file(target);
      file.Write("new");
      c.make(target);
      if (c.replaced) {
        file.Commit();
      } else {
        EXPECT_THROW(file.Commit(), EOSError) << c.kind;
      }
    }
    EXPECT_EQ(std::filesystem::is_regular_file(std::filesystem::symlink_status(target)), c.replaced)
        << c.kind;
    if (c.replaced) {
      EXPECT_EQ(ReadFile(target), "new");
    }
    EXPECT_EQ(FolderEntries(Dir()), std::vector<std::string>{"out.xml"}) << c.kind;
  }
}

// Files committed while the folder's flush is left for later are complete and named at once,
// in that folder and in any other; writes after the deferral ends flush as before.
TEST(DeferredFolderSyncs, FilesAreCompleteAndNamedAtOnceInsideAndAfter) {
  TempFolder dir;
  std::filesystem::create_directory(dir.Path() / "out");
  {
    DeferredFolderSyncs deferred(dir.Path() / "out");
    {
      DeferredFolderSyncs inner(dir.Path());
      WriteFileAtomic(dir.Path() / "out" / "a.xml", "a");
    }
    WriteFileAtomic(dir.Path() / "b.xml", "b");
    EXPECT_EQ(ReadFile(dir.Path() / "out" / "a.xml"), "a");
    EXPECT_EQ(ReadFile(dir.Path() / "b.xml"), "b");
  }
  WriteFileAtomic(dir.Path() / "out" / "c.xml", "c");
  EXPECT_EQ(FolderEntries(dir.Path() / "out"), (std::vector<std::string>{"a.xml", "c.xml"}));
}

}  // namespace
}  // namespace nc16
