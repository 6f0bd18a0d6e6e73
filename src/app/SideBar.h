#pragma once

// The side bar of the front panel: the Connect button, the time base, the
// time-span readout, the trigger channel, slope and mode, HOLD, the SPECTRUM
// view's button and AUTO-RANGE. It shows a device's state and reports clicks as the values they
// stand for; it never changes a device itself.

#include <QFrame>

#include "osc/OscTypes.h"

class QAction;
class QButtonGroup;
class QLabel;
class QMenu;
class QToolButton;
class TOscDevice;

class TSideBar : public QFrame {
  Q_OBJECT

public:
  // ConnectionMenu drops down from the Connect button; the SPECTRUM button
  // shows and triggers SpectrumAction (a checkable action of the window).
  TSideBar(QMenu* ConnectionMenu, QAction* SpectrumAction, QWidget* Parent);

  // Shows the time base, the trigger channel, slope and mode, AUTO-RANGE and
  // HOLD. A trigger channel other than 0 or 1 leaves its buttons as they are.
  void Visualize(const TOscDevice& Device);
  void ShowTimeSpan(const QString& Text);
  // A frozen device's settings are shown, not changed: the time base,
  // trigger, HOLD and AUTO-RANGE buttons take no input then; Connect and
  // SPECTRUM stay.
  void SetFrozen(bool Value);

  QToolButton* btnConnect() const { return FConnect; }
  QToolButton* btnTimebaseInc() const { return FTimebaseInc; }
  QLabel* pnlTimeBaseValue() const { return FTimeBaseValue; }
  QToolButton* btnTimebaseDec() const { return FTimebaseDec; }
  QLabel* lblTimeSpan() const { return FTimeSpan; }
  QToolButton* btnTriggerCh1() const { return FTriggerCh1; }
  QToolButton* btnTriggerCh2() const { return FTriggerCh2; }
  QToolButton* btnSlopeRising() const { return FSlopeRising; }
  QToolButton* btnSlopeFalling() const { return FSlopeFalling; }
  QToolButton* btnRun() const { return FRun; }
  QToolButton* btnNormal() const { return FNormal; }
  QToolButton* btnSingle() const { return FSingle; }
  QToolButton* btnHold() const { return FHold; }
  QToolButton* btnSpectrum() const { return FSpectrum; }
  QToolButton* btnAutoRange() const { return FAutoRange; }

signals:
  // -1: the next shorter time per division (Inc), +1: the next longer (Dec).
  void TimeBaseStepped(int Diff);
  void TriggerChannelClicked(int Channel);
  void TriggerSlopeClicked(TOscTriggerSlope Slope);
  void TriggerModeClicked(TOscTriggerMode Mode);
  void HoldClicked();
  void AutoRangeClicked();

private:
  QFrame* BuildTriggerGroup();
  // At most one mode button is down.
  void PressTriggerMode(TOscTriggerMode Mode);

  QToolButton* FConnect;
  QToolButton* FTimebaseInc;
  QLabel* FTimeBaseValue;
  QToolButton* FTimebaseDec;
  QLabel* FTimeSpan;
  QToolButton* FTriggerCh1 = nullptr;
  QToolButton* FTriggerCh2 = nullptr;
  QButtonGroup* FTriggerChannel = nullptr;
  QToolButton* FSlopeRising = nullptr;
  QToolButton* FSlopeFalling = nullptr;
  QButtonGroup* FTriggerSlope = nullptr;
  QToolButton* FRun;
  QToolButton* FNormal;
  QToolButton* FSingle;
  QToolButton* FHold;
  QToolButton* FSpectrum;
  QToolButton* FAutoRange;
  bool FFrozen = false;
};
