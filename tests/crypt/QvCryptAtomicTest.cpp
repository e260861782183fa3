// The written file: created owner-only, and never half-written — a failure leaves the target as
// it was and no temporary file behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "external/qvcrypt/QvCryptLib.h"
#include "tests/crypt/CryptTestUtil.h"

namespace nc16::test {
namespace {

mode_t ModeOf(const std::filesystem::path& p) {
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

TEST(QvCryptAtomic, FileIsOwnerOnlyAlsoWhenReplacingAReadableOne) {
  TempFolder dir;
  const mode_t old_umask = ::umask(0);  // the widest umask must not widen the file
  ASSERT_EQ(EncryptKey("numbers", dir / "new.qve", "k"), QVCRYPT_OK);
  EXPECT_EQ(ModeOf(dir / "new.qve"), 0600);

  WriteBytes(dir / "old.qve", "old");
  ::chmod((dir / "old.qve").c_str(), 0644);
  ASSERT_EQ(EncryptPassword("numbers", dir / "old.qve", "pw"), QVCRYPT_OK);
  ::umask(old_umask);
  EXPECT_EQ(ModeOf(dir / "old.qve"), 0600);
  EXPECT_EQ(DecryptPassword(dir / "old.qve", "pw").bytes, "numbers");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"new.qve", "old.qve"}));
}

TEST(QvCryptAtomic, MissingFolderGivesCreateErrorAndNoFile) {
  TempFolder dir;
  EXPECT_EQ(EncryptKey("x", dir / "no" / "such.qve", "k"), QVCRYPT_ERR_CREATE);
  EXPECT_EQ(EncryptPassword("x", dir / "no" / "such.qve", "pw"), QVCRYPT_ERR_CREATE);
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(QvCryptAtomic, ReadOnlyFolderLeavesTheOldFileUntouched) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  TempFolder dir;
  WriteBytes(dir / "a.qve", "previous content");
  ::chmod(dir.path().c_str(), 0500);
  EXPECT_EQ(EncryptKey("new content", dir / "a.qve", "k"), QVCRYPT_ERR_CREATE);
  ::chmod(dir.path().c_str(), 0700);
  EXPECT_EQ(ReadBytes(dir / "a.qve"), "previous content");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.qve"});
}

// Makes writes beyond `bytes` fail with EFBIG for this process while in scope; works for root
// too, unlike folder permissions.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    old_handler_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit lim = old_;
    lim.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    ::signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit old_{};
  sighandler_t old_handler_;
};

TEST(QvCryptAtomic, WriteFailingHalfwayLeavesTheOldFileAndNoTemporary) {
  TempFolder dir;
  WriteBytes(dir / "a.qve", "previous content");
  const std::string big = Pattern(3 * 1024 * 1024);  // several write batches
  {
    FileSizeLimit limit(1024 * 1024);
    EXPECT_EQ(EncryptKey(big, dir / "a.qve", "k"), QVCRYPT_ERR_WRITE);
    EXPECT_EQ(EncryptPassword(big, dir / "b.qve", "pw"), QVCRYPT_ERR_WRITE);
  }
  EXPECT_EQ(ReadBytes(dir / "a.qve"), "previous content");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.qve"});
  // The same call succeeds once the disk has room again.
  ASSERT_EQ(EncryptKey(big, dir / "a.qve", "k"), QVCRYPT_OK);
  EXPECT_EQ(DecryptKey(dir / "a.qve", "k").bytes, big);
}

TEST(QvCryptAtomic, TargetThatIsAFolderIsLeftAlone) {
  TempFolder dir;
  std::filesystem::create_directory(dir / "a.qve");
  WriteBytes(dir / "a.qve" / "inside", "kept");
  EXPECT_EQ(EncryptKey("x", dir / "a.qve", "k"), QVCRYPT_ERR_CREATE);
  EXPECT_EQ(ReadBytes(dir / "a.qve" / "inside"), "kept");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.qve"});
}

}  // namespace
}  // namespace nc16::test
