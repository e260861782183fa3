#pragma once
// Support for the wizard's GUI tests: one QApplication on the offscreen platform for the whole
// test program, a real demo installation in a temporary folder with the environment pointing at
// it, and a stand-in launcher that receives the wizard's window calls on a Unix datagram socket.

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/platform/TempFolder.h"
#include "tools/demo/DemoInstallation.h"

namespace nc16::test {

// The application object, created on first use (offscreen unless the environment says
// otherwise), with Qt's Japanese translation installed as the program installs it, and with a
// ModalWatch for the whole test program.
QApplication& App();

// Fails the running test when a modal window stays open. A window the test means to answer is
// answered by a call the test queued before opening it, as soon as the window's own loop runs;
// a modal window still open at the next look (a fifth of a second later) was not expected and
// would wait for a click forever. It is reported with its title and texts and closed, so the
// test goes on to its next check instead of hanging.
class ModalWatch {
 public:
  ModalWatch();
  ModalWatch(const ModalWatch&) = delete;
  ModalWatch& operator=(const ModalWatch&) = delete;
  // What a window shows: its class, title and the texts of its visible labels and text boxes.
  static std::string Describe(QWidget* window);

 private:
  void Look();
  QTimer timer_;
  QPointer<QWidget> open_;  // the modal window seen at the last look
};

// A path written with "/" as the system writes it ("\\" on Windows).
inline QString NativeSeparators(QString path) {
#ifdef _WIN32
  path.replace(u'/', u'\\');
#endif
  return path;
}

// A demo installation under a fresh temporary folder, and the environment variables that point
// the program at it (registry, common data folder, home, lock folder) for the fixture's life.
class DemoEnvironment {
 public:
  // `windows_copy`: the installation laid out as a copy from Windows.
  explicit DemoEnvironment(bool windows_copy = false);
  ~DemoEnvironment();
  const demo::DemoInstallation& Installation() const { return inst_; }
  const std::filesystem::path& Root() const { return root_.Path(); }
  // The folder of data set n (1 to 5) as the system names it; its Holder in the data list (the
  // grid's key column) as a QString.
  std::filesystem::path DataSetFolder(int n) const;
  QString DataSetKey(int n) const;
  std::filesystem::path CommonDataDir() const;
  std::filesystem::path OutFolder() const { return root_.Path() / "out"; }

 private:
  nc16::testing::TempFolder root_;
  demo::DemoInstallation inst_;
  std::vector<std::unique_ptr<nc16::testing::ScopedEnv>> env_;
};

#ifndef _WIN32
// A launcher window stand-in: binds a datagram socket and sets NC16_LAUNCHER_SOCKET to it.
class FakeLauncher {
 public:
  explicit FakeLauncher(const std::filesystem::path& folder);
  ~FakeLauncher();
  FakeLauncher(const FakeLauncher&) = delete;
  FakeLauncher& operator=(const FakeLauncher&) = delete;
  // Every datagram received so far (the calls are sent synchronously, so no waiting is needed).
  std::vector<std::string> Received();

 private:
  int fd_ = -1;
  std::filesystem::path path_;
  std::unique_ptr<nc16::testing::ScopedEnv> env_;
  std::vector<std::string> received_;
};
#endif

}  // namespace nc16::test
