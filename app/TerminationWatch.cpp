#include "app/TerminationWatch.h"

#include <QSocketNotifier>

namespace nc16 {

TerminationWatch::TerminationWatch(QObject* parent) : QObject(parent) {
  if (requests_.ReadHandle() < 0) return;
  notifier_ = new QSocketNotifier(static_cast<qintptr>(requests_.ReadHandle()),
                                  QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    if (!requests_.Take()) return;
    requested_ = true;
    emit Requested();
  });
}

}  // namespace nc16
