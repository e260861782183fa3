#pragma once
// The requests from outside to end the program (SIGTERM, SIGINT, SIGHUP;
// platform::TerminationRequests) as a Qt signal, delivered by the event loop like any other
// event: the program ends in order, as when its window is closed, instead of vanishing.

#include <QObject>

#include "platform/Termination.h"

class QSocketNotifier;

namespace nc16 {

class TerminationWatch : public QObject {
  Q_OBJECT
 public:
  // Catches the requests from now on; one object at a time (EOSError otherwise).
  explicit TerminationWatch(QObject* parent = nullptr);

  // A request has arrived (also before anybody was connected to Requested).
  bool WasRequested() const { return requested_; }

 signals:
  void Requested();

 private:
  platform::TerminationRequests requests_;
  QSocketNotifier* notifier_ = nullptr;
  bool requested_ = false;
};

}  // namespace nc16
