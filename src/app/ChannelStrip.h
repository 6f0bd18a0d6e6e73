#pragma once

// One channel's strip of the front panel: coupling, probe and volts/div
// buttons, the marker-voltage readout, the value-type drop-down and the live
// readout (and the battery on channel 1), plus the channel's Y-position scroll
// bar, which the window lays out beside the view. The strip shows a channel's
// state and reports clicks as the values they stand for; it never changes a
// device itself.

#include <QFrame>

#include "osc/OscMeasurement.h"
#include "osc/OscTypes.h"

class QButtonGroup;
class QLabel;
class QMenu;
class QScrollBar;
class QToolButton;
class TOscSignal;

// Names shown for the first thirteen value types, indexed by
// TOscMeasurementType; the timing kinds after them are shown under the
// model's names (COscTimingTypeNames).
extern const char* const COscValueType[13];
// The translated name of a value type.
QString ValueTypeName(TOscMeasurementType Type);
// Adds one item per value type to Menu in ordinal order, the ordinal as the
// item's data.
void AddValueTypeItems(QMenu& Menu);
// Probe button captions, indexed by TOscMultiplier.
extern const char* const CMultiplier[2];
// Battery hints, indexed by TOscBatteryState.
extern const char* const CBatteryHint[3];

class TChannelStrip : public QFrame {
  Q_OBJECT

public:
  // Channel is 0 or 1. The scroll bar gets BarParent, where the window places it.
  TChannelStrip(int Channel, QWidget* BarParent, QWidget* Parent);

  int Channel() const { return FChannel; }

  // Shows the channel: value type, probe, Y position, coupling, volts/div and
  // whether the strip is shown. Moving the scroll bar here reports
  // YPositionChanged like a move by the user, so the settings go out again.
  void Visualize(const TOscSignal& Signal);
  // Channel 1's strip only.
  void ShowBattery(TOscBatteryState State);
  void ShowMarkerVoltage(const QString& Text);
  void ShowValue(const QString& Text);
  // The readout as the strip shows it, for a picture of the view: the title,
  // coupling, volts/div, value type and value, e.g. "CH1", "DC", "1V/div",
  // "Vpp", "2.34V".
  QStringList ReadoutTexts() const;
  // A frozen device's settings are shown, not changed: the coupling, probe
  // and volts/div buttons and the scroll bar take no input then; the
  // readout's value type stays a choice.
  void SetFrozen(bool Value);

  // The value-type drop-down menu (AddValueTypeItems); the menu's "tag"
  // property is the channel.
  QMenu* ValueTypeMenu() const { return FValueTypeMenu; }
  QScrollBar* scrollYPosition() const { return FScrollYPosition; }

  QLabel* pnlTitle() const { return FTitle; }
  QToolButton* btnAC() const { return FAC; }
  QToolButton* btnDC() const { return FDC; }
  QToolButton* btnGND() const { return FGND; }
  // Ids are the coupling tags.
  QButtonGroup* Coupling() const { return FCoupling; }
  QToolButton* btnZoom() const { return FZoom; }
  QToolButton* btnVDivInc() const { return FVDivInc; }
  QLabel* pnlVDiv() const { return FVDiv; }
  QToolButton* btnVDivDec() const { return FVDivDec; }
  QLabel* lblMeasurement() const { return FMeasurement; }
  QLabel* imgBattery() const { return FBattery; }
  QToolButton* cbValueType() const { return FValueType; }
  QLabel* lblValue() const { return FValue; }

signals:
  // -1: the next larger volts per division (Inc), +1: the next smaller (Dec).
  void VoltsPerDivisionStepped(int Diff);
  void CouplingClicked(TOscInputCoupling Coupling);
  // The probe factor the button's state stands for after the click.
  void ProbeClicked(TOscMultiplier Multiplier);
  void YPositionChanged(int Position);
  void ValueTypeChosen(TOscMeasurementType Type);

private:
  void BuildValueTypeMenu();

  int FChannel;
  QLabel* FTitle;
  QToolButton* FAC;
  QToolButton* FDC;
  QToolButton* FGND;
  QButtonGroup* FCoupling;
  QToolButton* FZoom;
  QToolButton* FVDivInc;
  QLabel* FVDiv;
  QToolButton* FVDivDec;
  QLabel* FMeasurement;
  QLabel* FBattery = nullptr;
  QToolButton* FValueType;
  QLabel* FValue;
  QMenu* FValueTypeMenu;
  QScrollBar* FScrollYPosition;
  int FBatteryShown = -1;
  bool FFrozen = false;
};
