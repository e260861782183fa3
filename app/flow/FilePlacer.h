#pragma once
// Puts the plain files that exports left (ExportOutcome::PlainFile) in place on a thread of its
// own, one at a time, while the caller goes on: the batch exports the next data set meanwhile,
// and the wait for the disk (each file's flush) overlaps that work. One thread serves the whole
// run; where none can be had, each file is put in place when its outcome is asked for.

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "app/flow/Export.h"

namespace nc16 {

class FilePlacer {
 public:
  FilePlacer();
  ~FilePlacer();  // waits for the file in progress
  FilePlacer(const FilePlacer&) = delete;
  FilePlacer& operator=(const FilePlacer&) = delete;

  // Starts putting `outcome`'s file in place (PlaceLeftFile). The outcome of the one before must
  // have been taken (Take).
  void Start(ExportOutcome outcome);
  // The started outcome once its file is in place (or has failed to be).
  ExportOutcome Take();

 private:
  void Serve();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<ExportOutcome> started_, placed_;
  bool ending_ = false;
  std::thread thread_;  // last: it starts when everything else is ready
};

}  // namespace nc16
