#pragma once

// The math channel's strip below channel 2's: the mode (CH1+CH2, CH1-CH2,
// CH2-CH1, CH1×CH2), its volts/div (V² per division for the product), and a
// live readout with the same value types as a channel's. It is shown while
// math is on; the mode menu is also the window's View › Math. Like the
// channel strips it shows the model's state and reports clicks as the values
// they stand for.

#include <QFrame>

#include "osc/OscMath.h"
#include "osc/OscMeasurement.h"

class QLabel;
class QMenu;
class QToolButton;

// The translated name of a math mode ("Off", "CH1+CH2", ... "CH1×CH2").
QString MathModeName(TOscMathMode Mode);

class TMathStrip : public QFrame {
  Q_OBJECT

public:
  explicit TMathStrip(QWidget* Parent);

  // Shows the mode (the strip only while math is on), the scale and the value
  // type.
  void Visualize(const TOscMath& Math);
  void ShowValue(const QString& Text);

  // One checkable item per mode in ordinal order, the ordinal as data.
  QMenu* ModeMenu() const { return FModeMenu; }
  // The value types as a channel's menu offers them; its "tag" is 2.
  QMenu* ValueTypeMenu() const { return FValueTypeMenu; }

  QLabel* pnlTitle() const { return FTitle; }
  QToolButton* cbMode() const { return FMode; }
  QToolButton* btnVDivInc() const { return FVDivInc; }
  QLabel* pnlVDiv() const { return FVDiv; }
  QToolButton* btnVDivDec() const { return FVDivDec; }
  QToolButton* cbValueType() const { return FValueType; }
  QLabel* lblValue() const { return FValue; }

signals:
  void ModeChosen(TOscMathMode Mode);
  // -1: the next larger volts per division, +1: the next smaller.
  void VoltsPerDivisionStepped(int Diff);
  void ValueTypeChosen(TOscMeasurementType Type);

private:
  QLabel* FTitle;
  QMenu* FModeMenu;
  QToolButton* FMode;
  QToolButton* FVDivInc;
  QLabel* FVDiv;
  QToolButton* FVDivDec;
  QMenu* FValueTypeMenu;
  QToolButton* FValueType;
  QLabel* FValue;
};
