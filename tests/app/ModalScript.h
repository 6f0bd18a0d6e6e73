#pragma once

// Answers the modal windows a flow opens, from inside their own loops: each
// showing of a modal window (a dialog's exec, a message box) runs the next
// step of the script, or the standing answer once the steps are used up. It
// watches for the windows being shown instead of polling for them, and a
// window its step left open for too long is closed with a failure, so that a
// fault fails the test instead of hanging it.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <deque>
#include <functional>

class TModalScript : public QObject {
public:
  using TStep = std::function<void(QWidget* Modal)>;

  // How long a step may leave its window open.
  static constexpr int CWatchdogMs = 10000;

  TModalScript() { QApplication::instance()->installEventFilter(this); }
  ~TModalScript() override { QApplication::instance()->removeEventFilter(this); }

  // The next modal window shown runs Step.
  TModalScript& Then(TStep Step) {
    FSteps.push_back(std::move(Step));
    return *this;
  }
  // Every modal window shown once the steps are used up runs Step.
  TModalScript& Otherwise(TStep Step) {
    FOtherwise = std::move(Step);
    return *this;
  }
  // Windows handled so far, by steps and by the standing answer.
  int Handled() const { return FHandled; }
  // Whether every step has run.
  bool Done() const { return FSteps.empty(); }

  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() == QEvent::Show && Watched->isWidgetType()) {
      auto* W = static_cast<QWidget*>(Watched);
      // Acted on from the window's own loop, which starts after the showing.
      if (W->isWindow() && W->isModal()) {
        W->setProperty(CShowingProperty, ++FShowings);
        QTimer::singleShot(0, this, [this, Modal = QPointer<QWidget>(W)] { Run(Modal); });
      }
    }
    return false;
  }

private:
  void Run(const QPointer<QWidget>& Modal) {
    if (Modal.isNull() || !Modal->isVisible())
      return;
    TStep Step;
    if (!FSteps.empty()) {
      Step = std::move(FSteps.front());
      FSteps.pop_front();
    } else if (FOtherwise) {
      Step = FOtherwise;
    } else {
      return;
    }
    ++FHandled;
    const QVariant Showing = Modal->property(CShowingProperty);
    Step(Modal);
    QTimer::singleShot(CWatchdogMs, this, [Modal, Showing] {
      if (Modal.isNull() || !Modal->isVisible() || Modal->property(CShowingProperty) != Showing)
        return;
      ADD_FAILURE() << "a modal window stayed open: " << Modal->objectName().toStdString();
      Modal->close();
    });
  }

  static constexpr const char* CShowingProperty = "modalScriptShowing";

  std::deque<TStep> FSteps;
  TStep FOtherwise;
  int FHandled = 0;
  int FShowings = 0;
};

// Closes a modal window as its OK (or Cancel) button would.
inline void CloseModal(QWidget* Modal, bool Ok = true) {
  if (auto* Box = qobject_cast<QMessageBox*>(Modal)) {
    if (QAbstractButton* B = Box->button(Ok ? QMessageBox::Ok : QMessageBox::Cancel)) {
      B->click();
      return;
    }
  }
  if (auto* D = qobject_cast<QDialog*>(Modal))
    Ok ? D->accept() : D->reject();
}

// "Title: text" of a message box, the object name of any other window.
inline QString ModalText(QWidget* Modal) {
  auto* Box = qobject_cast<QMessageBox*>(Modal);
  return Box != nullptr ? Box->windowTitle() + ": " + Box->text() : Modal->objectName();
}

// A step that keeps what the window says (ModalText) and closes it with OK.
inline TModalScript::TStep RecordAndClose(QStringList& Seen) {
  return [&Seen](QWidget* Modal) {
    Seen << ModalText(Modal);
    CloseModal(Modal, true);
  };
}
