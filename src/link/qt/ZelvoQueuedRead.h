#pragma once

// Runs a transport's read-and-deliver work as a queued call from the event
// loop instead of inside the device's readyRead emission. Qt does not emit
// readyRead again while a slot connected to it still runs, so a frame handler
// that opens a nested event loop there (the calibration window, a message box)
// would receive nothing more until it returned. Run outside that emission,
// every readyRead during the nested loop queues another call, which reads and
// delivers the new frames inside it.

#include <functional>

class QObject;

class TZelvoQueuedRead {
public:
  // Context owns the queued calls: they are dropped when it is destroyed.
  // Work reads what is waiting and delivers every complete frame; it may be
  // re-entered from a frame handler's nested loop.
  TZelvoQueuedRead(QObject* Context, std::function<void()> Work)
      : FContext(Context), FWork(std::move(Work)) {}
  TZelvoQueuedRead(const TZelvoQueuedRead&) = delete;
  TZelvoQueuedRead& operator=(const TZelvoQueuedRead&) = delete;

  // Queues one run of Work unless one is already waiting.
  void Schedule();

private:
  void Run();

  QObject* FContext;
  std::function<void()> FWork;
  bool FPending = false;
};
