#include "link/qt/ZelvoQueuedRead.h"

#include <QMetaObject>
#include <QObject>

#include "osc/OscErrorBoundary.h"

void TZelvoQueuedRead::Schedule() {
  if (FPending)
    return;
  FPending = true;
  QMetaObject::invokeMethod(
      FContext, [this] { Run(); }, Qt::QueuedConnection);
}

void TZelvoQueuedRead::Run() {
  // Cleared first: a readyRead during a handler's nested loop must queue a
  // run of its own.
  FPending = false;
  OscGuarded([this] {
    try {
      FWork();
    } catch (...) {
      // The frames and bytes behind the one whose handler threw are not
      // announced again; fetch them in a run of their own, which also keeps
      // flowing while the exception handler shows its message.
      Schedule();
      throw;
    }
  });
}
