#pragma once

// The widgets of the main window's front panel: the two channel strips and
// the side bar. Built here, wired and shown by the main window.

#include <QColor>
#include <QString>

class QButtonGroup;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;
class QWidget;

// Width in pixels of the thin separator panels between groups.
constexpr int CSeparatorWidth = 4;

QColor ChannelColor(int Channel);

// A flat-looking front-panel button: checkable ones show their down state.
QToolButton* MakePanelButton(const QString& Caption, int Width, int Height, bool Checkable,
                             QWidget* Parent);

// A drop-down button that opens Menu below its left edge on any left press.
QToolButton* MakeDropDownButton(const QString& Caption, QMenu* Menu, QWidget* Parent);

// A value panel: sunken, centred text.
QLabel* MakeValuePanel(const QString& Text, QWidget* Parent);

struct TChannelStrip {
  QFrame* pnlCH = nullptr;
  QFrame* pnlColor = nullptr;
  QLabel* pnlTitle = nullptr;
  QToolButton* btnAC = nullptr;
  QToolButton* btnDC = nullptr;
  QToolButton* btnGND = nullptr;
  QButtonGroup* Coupling = nullptr;
  QToolButton* btnZoom = nullptr;
  QToolButton* btnVDivInc = nullptr;
  QLabel* pnlVDiv = nullptr;
  QToolButton* btnVDivDec = nullptr;
  QLabel* imgMeasurement = nullptr;
  QLabel* lblMeasurement = nullptr;
  QLabel* imgBattery = nullptr; // channel 1 only
  QToolButton* cbValueType = nullptr;
  QLabel* lblValue = nullptr;
};

// Channel is 0 or 1; the value-type menu is attached to cbValueType.
TChannelStrip BuildChannelStrip(int Channel, QMenu* ValueTypeMenu, QWidget* Parent);

struct TSideBar {
  QFrame* pnlSideBar = nullptr;
  QToolButton* btnConnect = nullptr;
  QToolButton* btnTimebaseInc = nullptr;
  QLabel* pnlTimeBaseValue = nullptr;
  QToolButton* btnTimebaseDec = nullptr;
  QLabel* imgTimeSpan = nullptr;
  QLabel* lblTimeSpan = nullptr;
  QFrame* pnlTriggerMode = nullptr;
  QToolButton* btnTriggerCh1 = nullptr;
  QToolButton* btnTriggerCh2 = nullptr;
  QButtonGroup* TriggerChannel = nullptr;
  QToolButton* btnSlopeRising = nullptr;
  QToolButton* btnSlopeFalling = nullptr;
  QButtonGroup* TriggerSlope = nullptr;
  QToolButton* btnRun = nullptr;
  QToolButton* btnNormal = nullptr;
  QToolButton* btnSingle = nullptr;
  QToolButton* btnHold = nullptr;
  QToolButton* btnAutoRange = nullptr;
};

TSideBar BuildSideBar(QMenu* ConnectionMenu, QWidget* Parent);
