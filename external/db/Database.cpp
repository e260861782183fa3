// TDatabase: a named connection to a folder. Connecting checks the driver, the parameters and
// the folder, and registers the name so that queries and tables bound to it share one session
// (and its loaded tables) until the connection closes.

#include <algorithm>

#include "external/db/Db.h"
#include "external/db/Messages.h"
#include "external/db/NoCase.h"
#include "external/db/Session.h"
#include "external/db/TableFiles.h"
#include "platform/Cp932.h"

namespace nc16::db {
namespace {

using detail::EqualsNoCase;
using detail::TrimSpaces;

}  // namespace

struct TDatabase::Impl {
  std::string name;
  std::string driver;
  std::vector<std::string> params;
  std::string path;
  std::shared_ptr<detail::Session> session;  // while connected
};

TDatabase::TDatabase() : impl_(std::make_unique<Impl>()) {}

TDatabase::~TDatabase() {
  Close();
}

void TDatabase::SetDatabaseName(std::string name) {
  if (Connected()) throw EDatabaseError(detail::MsgConnectedChange(impl_->name));
  impl_->name = std::move(name);
}

const std::string& TDatabase::DatabaseName() const {
  return impl_->name;
}

void TDatabase::SetDriverName(std::string driver) {
  if (Connected()) throw EDatabaseError(detail::MsgConnectedChange(impl_->name));
  impl_->driver = std::move(driver);
}

std::vector<std::string>& TDatabase::Params() {
  return impl_->params;
}

void TDatabase::Open() {
  if (Connected()) return;
  const std::string& name = impl_->name;
  if (name.empty()) throw EDBEngineError(detail::MsgNoDatabaseName());
  if (!impl_->driver.empty() && !EqualsNoCase(impl_->driver, "STANDARD")) {
    throw EDBEngineError(detail::MsgUnknownDriver(name, impl_->driver));
  }
  std::string path;
  bool has_path = false;
  for (const std::string& param : impl_->params) {
    const size_t eq = param.find('=');
    if (eq == std::string::npos) throw EDBEngineError(detail::MsgBadParam(name, param));
    const std::string_view key = TrimSpaces(std::string_view(param).substr(0, eq));
    const std::string_view value = std::string_view(param).substr(eq + 1);
    if (EqualsNoCase(key, "PATH")) {
      path = std::string(value);
      has_path = true;
    } else if (EqualsNoCase(key, "DEFAULT DRIVER")) {
      if (!EqualsNoCase(TrimSpaces(value), "PARADOX")) {
        throw EDBEngineError(detail::MsgUnknownDriver(name, value));
      }
    } else if (EqualsNoCase(key, "ENABLE BCD")) {
      // Numbers and money are never handed out as BCD; either setting is accepted.
      if (!EqualsNoCase(TrimSpaces(value), "FALSE") && !EqualsNoCase(TrimSpaces(value), "TRUE")) {
        throw EDBEngineError(detail::MsgBadParam(name, param));
      }
    }
    // Other parameters of the engine (language driver, block size...) do not apply here.
  }
  if (!has_path || path.empty()) throw EDBEngineError(detail::MsgNoPath(name));
  if (!detail::FolderExists(path)) throw EDBEngineError(detail::MsgFolderMissing(path));
  if (detail::ConnectionNameInUse(name)) throw EDBEngineError(detail::MsgNameInUse(name));
  auto session = std::make_shared<detail::Session>(path);
  detail::RegisterConnection(name, session);
  impl_->session = std::move(session);
  impl_->path = std::move(path);
}

void TDatabase::Close() {
  if (!impl_->session) return;
  detail::UnregisterConnection(impl_->name);
  impl_->session.reset();
}

bool TDatabase::Connected() const {
  return impl_->session != nullptr;
}

const std::string& TDatabase::Path() const {
  return impl_->path;
}

std::optional<std::string> TDatabase::ChangedTableFile() const {
  if (!impl_->session) return std::nullopt;
  if (auto changed = impl_->session->ChangedSource()) return FromNativePath(*changed);
  return std::nullopt;
}

void SetTableReadHook(std::function<void(const std::string& file)> hook) {
  detail::TableReadHook() = std::move(hook);
}

}  // namespace nc16::db
