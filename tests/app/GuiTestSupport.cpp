#include "tests/app/GuiTestSupport.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <cstring>
#include <stdexcept>

#include "app/QtText.h"
#include "app/QtTranslation.h"
#include "app/WizardLook.h"
#include "platform/Cp932.h"

namespace nc16::test {

QApplication& App() {
  static QApplication* app = [] {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "nc16-wizard-tests";
    static char* argv[] = {name, nullptr};
    auto* created = new QApplication(argc, argv);
    InstallQtJapanese();  // as the program does at start
    SetUpWizardLook();
    return created;
  }();
  static ModalWatch* watch = new ModalWatch();  // for the whole program, like the application
  (void)watch;
  return *app;
}

ModalWatch::ModalWatch() {
  QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
  timer_.start(200);
}

void ModalWatch::Look() {
  QWidget* modal = QApplication::activeModalWidget();
  if (modal == nullptr || modal != open_) {
    open_ = modal;
    return;
  }
  ADD_FAILURE() << "a modal window nobody answers was left open: " << Describe(modal);
  open_ = nullptr;
  if (auto* dialog = qobject_cast<QDialog*>(modal))
    dialog->reject();
  else
    modal->close();
}

std::string ModalWatch::Describe(QWidget* window) {
  std::string text = std::string(window->metaObject()->className()) + " \"" +
                     window->windowTitle().toStdString() + "\"";
  auto add = [&](const QString& shown) {
    if (!shown.isEmpty()) text += "\n  " + shown.toStdString();
  };
  if (auto* box = qobject_cast<QMessageBox*>(window)) {
    add(box->text());
    return text;
  }
  for (QWidget* child : window->findChildren<QWidget*>()) {
    if (!child->isVisibleTo(window)) continue;
    if (auto* label = qobject_cast<QLabel*>(child)) add(label->text());
    if (auto* edit = qobject_cast<QPlainTextEdit*>(child)) add(edit->toPlainText());
    if (auto* line = qobject_cast<QLineEdit*>(child)) add(line->text());
  }
  return text;
}

DemoEnvironment::DemoEnvironment(bool windows_copy) {
  demo::DemoOptions options;
  options.root = FromNativePath(root_.Path() / "demo");
  options.employees = 6;
  options.windows_copy = windows_copy;
  inst_ = demo::CreateDemoInstallation(options);
  std::filesystem::create_directories(root_.Path() / "home");
  std::filesystem::create_directories(root_.Path() / "locks");
  std::filesystem::create_directories(OutFolder());
  auto set = [&](const char* name, std::optional<std::string> value) {
    env_.push_back(std::make_unique<nc16::testing::ScopedEnv>(name, std::move(value)));
  };
  set("NC16_REGISTRY", NativePath(inst_.registry_file).string());
  set("NC16_COMMON_APPDATA", NativePath(inst_.common_appdata).string());
  set("HOME", (root_.Path() / "home").string());
  set("XDG_CONFIG_HOME", std::nullopt);
  set("NC16_LOCK_DIR", (root_.Path() / "locks").string());
  set("NC16_LAUNCHER_SOCKET", std::nullopt);
}

DemoEnvironment::~DemoEnvironment() = default;

std::filesystem::path DemoEnvironment::DataSetFolder(int n) const {
  return NativePath(inst_.data_sets.at(n - 1).folder);
}

QString DemoEnvironment::DataSetKey(int n) const {
  return ToQ(inst_.data_sets.at(n - 1).holder);
}

std::filesystem::path DemoEnvironment::CommonDataDir() const {
  return NativePath(inst_.common_data_dir);
}

#ifndef _WIN32
FakeLauncher::FakeLauncher(const std::filesystem::path& folder) : path_(folder / "launcher.sock") {
  fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0) throw std::runtime_error("socket failed");
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string p = path_.string();
  if (p.size() >= sizeof addr.sun_path) throw std::runtime_error("socket path too long");
  std::memcpy(addr.sun_path, p.c_str(), p.size() + 1);
  if (::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
    throw std::runtime_error("bind failed");
  env_ = std::make_unique<nc16::testing::ScopedEnv>("NC16_LAUNCHER_SOCKET", p);
}

FakeLauncher::~FakeLauncher() {
  if (fd_ >= 0) ::close(fd_);
  std::error_code ec;
  std::filesystem::remove(path_, ec);
}

std::vector<std::string> FakeLauncher::Received() {
  char buffer[512];
  for (;;) {
    ssize_t n = ::recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0) break;
    received_.emplace_back(buffer, static_cast<size_t>(n));
  }
  return received_;
}
#endif

}  // namespace nc16::test

// fontconfig keeps its configuration until the process ends; LeakSanitizer would report it.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
