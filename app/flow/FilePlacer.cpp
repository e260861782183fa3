#include "app/flow/FilePlacer.h"

#include <system_error>
#include <utility>

namespace nc16 {

FilePlacer::FilePlacer() {
  try {
    thread_ = std::thread([this] { Serve(); });
  } catch (const std::system_error&) {
    // No thread: Take puts each file in place itself.
  }
}

FilePlacer::~FilePlacer() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void FilePlacer::Start(ExportOutcome outcome) {
  {
    std::lock_guard lock(mutex_);
    started_ = std::move(outcome);
  }
  changed_.notify_all();
}

ExportOutcome FilePlacer::Take() {
  std::unique_lock lock(mutex_);
  if (!thread_.joinable() && started_) {
    placed_ = std::move(started_);
    started_.reset();
    PlaceLeftFile(*placed_);
  }
  changed_.wait(lock, [this] { return placed_.has_value(); });
  ExportOutcome outcome = std::move(*placed_);
  placed_.reset();
  return outcome;
}

void FilePlacer::Serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    // The file in progress is finished before the end is heeded.
    changed_.wait(lock, [this] { return ending_ || started_.has_value(); });
    if (!started_) return;
    ExportOutcome outcome = std::move(*started_);
    started_.reset();
    lock.unlock();
    PlaceLeftFile(outcome);
    lock.lock();
    placed_ = std::move(outcome);
    changed_.notify_all();
  }
}

}  // namespace nc16
