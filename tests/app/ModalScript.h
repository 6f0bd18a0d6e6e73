#pragma once

// Answers the modal windows a flow opens, in order, from inside their own
// loops: each step waits for a new modal widget and acts on it.

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <memory>

class TModalScript {
public:
  using TStep = std::function<void(QWidget* Modal)>;

  TModalScript() {
    QObject::connect(&FPoll, &QTimer::timeout, [this] { Poll(); });
    FPoll.start(10);
  }

  TModalScript& Then(TStep Step) {
    FSteps.push_back(std::move(Step));
    return *this;
  }
  int Handled() const { return FHandled; }
  bool Done() const { return FSteps.empty(); }

private:
  void Poll() {
    QWidget* Modal = QApplication::activeModalWidget();
    if (Modal == nullptr || Modal == FLast.data() || FSteps.empty() || !Modal->isVisible())
      return;
    FLast = Modal;
    TStep Step = std::move(FSteps.front());
    FSteps.pop_front();
    ++FHandled;
    Step(Modal);
  }

  QTimer FPoll;
  std::deque<TStep> FSteps;
  QPointer<QWidget> FLast;
  int FHandled = 0;
};
