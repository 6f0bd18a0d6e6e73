#pragma once

// The control bar of a replay (File › Open recording...): the recording's
// name, Pause, Step (play to the end of the next capture, then pause), the
// speed from 0.25x to 4x, and the position reached. It is shown exactly while
// the replay's link is up and acts on the replay itself, as a player's bar
// does; the window hears through Changed what it has to show anew (the link
// panel, and the front panel, which a paused replay freezes).

#include <QFrame>
#include <QTimer>

#include <memory>

class QComboBox;
class QLabel;
class QToolButton;
class TZelvoConnectionObserver;
class TZelvoReplayConnection;

class TReplayBar : public QFrame {
  Q_OBJECT

public:
  // The speeds offered, in the order of the speed list.
  static constexpr double CSpeeds[] = {0.25, 0.5, 1, 2, 4};

  // The bar takes Replay's finishing callback, and hands it back when it goes
  // first.
  TReplayBar(TZelvoReplayConnection& Replay, QWidget* Parent);
  ~TReplayBar() override;

  // What the link panel says of the replay, e.g. "Replay paused".
  QString Text() const;
  // Reading the recording failed.
  bool Trouble() const;

  QLabel* lblName() const { return FName; }
  QToolButton* btnPause() const { return FPause; }
  QToolButton* btnStep() const { return FStep; }
  QComboBox* cbSpeed() const { return FSpeed; }
  QLabel* lblPosition() const { return FPosition; }

signals:
  // Up, down, paused, playing, stepped or finished.
  void Changed();

private:
  void Visualize();
  void ShowPosition();
  void Report();

  TZelvoReplayConnection* FReplay; // null once it is destroyed
  std::unique_ptr<TZelvoConnectionObserver> FObserver;
  QLabel* FName;
  QToolButton* FPause;
  QToolButton* FStep;
  QComboBox* FSpeed;
  QLabel* FPosition;
  // Moves the position while playing.
  QTimer FRefresh;
};
