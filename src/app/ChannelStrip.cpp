#include "app/ChannelStrip.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/GuardedConnect.h"
#include "app/PanelWidgets.h"
#include "osc/OscFormat.h"
#include "osc/OscScales.h"
#include "osc/OscSignal.h"

const char* const COscValueType[13] = {
    QT_TRANSLATE_NOOP("TChannelStrip", "Vdc"),   QT_TRANSLATE_NOOP("TChannelStrip", "Vmin"),
    QT_TRANSLATE_NOOP("TChannelStrip", "Vmax"),  QT_TRANSLATE_NOOP("TChannelStrip", "Vpp"),
    QT_TRANSLATE_NOOP("TChannelStrip", "Vrms"),  QT_TRANSLATE_NOOP("TChannelStrip", "Vtrms"),
    QT_TRANSLATE_NOOP("TChannelStrip", "dBm"),   QT_TRANSLATE_NOOP("TChannelStrip", "dBgain"),
    QT_TRANSLATE_NOOP("TChannelStrip", "Wrms2"), QT_TRANSLATE_NOOP("TChannelStrip", "Wrms4"),
    QT_TRANSLATE_NOOP("TChannelStrip", "Wrms8"), QT_TRANSLATE_NOOP("TChannelStrip", "Wrms16"),
    QT_TRANSLATE_NOOP("TChannelStrip", "Wrms32")};
// The model's timing names as lupdate sees them; ValueTypeName looks the
// model's own table up under them.
[[maybe_unused]] const char* const CTimingTypeNamesForTranslation[COscTimingTypeCount] = {
    QT_TRANSLATE_NOOP("TChannelStrip", "Freq"),   QT_TRANSLATE_NOOP("TChannelStrip", "Period"),
    QT_TRANSLATE_NOOP("TChannelStrip", "Duty"),   QT_TRANSLATE_NOOP("TChannelStrip", "+Width"),
    QT_TRANSLATE_NOOP("TChannelStrip", "-Width"), QT_TRANSLATE_NOOP("TChannelStrip", "Rise"),
    QT_TRANSLATE_NOOP("TChannelStrip", "Fall")};
const char* const CMultiplier[2] = {QT_TRANSLATE_NOOP("TChannelStrip", "Probe X1"),
                                    QT_TRANSLATE_NOOP("TChannelStrip", "Probe X10")};
const char* const CBatteryHint[3] = {QT_TRANSLATE_NOOP("TChannelStrip", "Battery low"),
                                     QT_TRANSLATE_NOOP("TChannelStrip", "Battery charging"),
                                     QT_TRANSLATE_NOOP("TChannelStrip", "Battery full")};

namespace {

constexpr int CStripHeight = 26;
constexpr int CButtonHeight = CStripHeight - 2; // below or above the colour line

QString Translated(const char* Text) {
  return QCoreApplication::translate("TChannelStrip", Text);
}

TGlyph BatteryGlyph(TOscBatteryState State) {
  switch (State) {
  case batteryCharging:
    return TGlyph::BatteryCautionCharging;
  case batteryFull:
    return TGlyph::BatteryCharged;
  default:
    return TGlyph::BatteryEmpty;
  }
}

} // namespace

QString ValueTypeName(TOscMeasurementType Type) {
  const int J = static_cast<int>(Type);
  if (J >= 0 && J < 13)
    return Translated(COscValueType[J]);
  const char* Name = OscTimingTypeName(Type);
  return Name != nullptr ? Translated(Name) : QString(CInvalidValue);
}

void AddValueTypeItems(QMenu& Menu) {
  for (int J = 0; J < COscMeasurementTypeCount; ++J)
    Menu.addAction(ValueTypeName(static_cast<TOscMeasurementType>(J)))->setData(J);
}

TChannelStrip::TChannelStrip(int Channel, QWidget* BarParent, QWidget* Parent)
    : QFrame(Parent), FChannel(Channel) {
  const QString N = QString::number(Channel + 1);
  setObjectName("pnlCH" + N);
  setFixedHeight(CStripHeight);
  auto* Column = new QVBoxLayout(this);
  Column->setContentsMargins(0, 0, 0, 0);
  Column->setSpacing(0);
  QFrame* Line = MakeColorLine(ChannelColor(Channel), Qt::Horizontal, this);
  Line->setObjectName("pnlColorCH" + N);
  auto* Row = new QHBoxLayout;
  Row->setContentsMargins(0, 0, 0, 0);
  Row->setSpacing(0);
  // Channel 1's line runs along the top of its strip, channel 2's along the
  // bottom, so that both frame the view.
  if (Channel == 0) {
    Column->addWidget(Line);
    Column->addLayout(Row, 1);
  } else {
    Column->addLayout(Row, 1);
    Column->addWidget(Line);
  }

  FTitle = new QLabel(tr("CH%1").arg(N), this);
  FTitle->setObjectName("pnlTitleCH" + N);
  FTitle->setFixedWidth(56);
  FTitle->setAlignment(Qt::AlignCenter);
  FTitle->setAutoFillBackground(true);
  QPalette P = FTitle->palette();
  P.setColor(QPalette::Window, ChannelColor(Channel));
  P.setColor(QPalette::WindowText, Qt::black);
  FTitle->setPalette(P);
  QFont Bold = FTitle->font();
  Bold.setBold(true);
  FTitle->setFont(Bold);
  Row->addWidget(FTitle);
  Row->addWidget(MakeSeparator(Qt::Horizontal, this));

  FAC = MakePanelButton(tr("AC"), 42, CButtonHeight, true, this);
  FDC = MakePanelButton(tr("DC"), 42, CButtonHeight, true, this);
  FGND = MakePanelButton(tr("GND"), 48, CButtonHeight, true, this);
  FAC->setObjectName("btnAC" + N);
  FDC->setObjectName("btnDC" + N);
  FGND->setObjectName("btnGND" + N);
  FCoupling = new QButtonGroup(this);
  FCoupling->setExclusive(true);
  FCoupling->addButton(FAC, inAC);
  FCoupling->addButton(FDC, inDC);
  FCoupling->addButton(FGND, inGND);
  for (QToolButton* B : {FAC, FDC, FGND})
    Row->addWidget(B);
  Row->addWidget(MakeSeparator(Qt::Horizontal, this));

  FZoom = MakePanelButton(Translated(CMultiplier[multX1]), 77, CButtonHeight, true, this);
  FZoom->setObjectName("btnZoom" + N);
  Row->addWidget(FZoom);
  Row->addWidget(MakeSeparator(Qt::Horizontal, this));

  FVDivInc = MakeGlyphButton(TGlyph::SineSmall, CGlyphButtonWidth, CButtonHeight, false, this);
  FVDivInc->setObjectName("btnVDivInc" + N);
  FVDiv = MakeValuePanel(CInvalidValue, this);
  FVDiv->setObjectName("pnlVDiv" + N);
  FVDiv->setFixedWidth(131 - 2 * CGlyphButtonWidth);
  FVDivDec = MakeGlyphButton(TGlyph::SineLarge, CGlyphButtonWidth, CButtonHeight, false, this);
  FVDivDec->setObjectName("btnVDivDec" + N);
  Row->addWidget(FVDivInc);
  Row->addWidget(FVDiv);
  Row->addWidget(FVDivDec);
  Row->addWidget(MakeSeparator(Qt::Horizontal, this));

  QLabel* MeasurementIcon = MakeIcon(TGlyph::MarkerVoltage, this);
  MeasurementIcon->setObjectName("imgMeasurement" + N);
  FMeasurement = MakeValuePanel(CInvalidValue, this);
  FMeasurement->setObjectName("lblMeasurement" + N);
  FMeasurement->setFixedWidth(75);
  Row->addWidget(MeasurementIcon);
  Row->addWidget(FMeasurement);
  Row->addStretch(1);

  FValue = new QLabel(CInvalidValue, this);
  FValue->setObjectName("lblValueCH" + N);
  FValue->setFixedWidth(102);
  FValue->setAlignment(Qt::AlignCenter);
  QPalette VP = FValue->palette();
  VP.setColor(QPalette::WindowText, QColor(0xD0, 0xD0, 0xD0));
  FValue->setPalette(VP);
  FValueTypeMenu = new QMenu(this);
  FValueType = MakeDropDownButton(ValueTypeName(TOscMeasurementType::Vdc), FValueTypeMenu, this);
  FValueType->setObjectName("cbValueTypeCH" + N);
  FValueType->setFixedSize(72, CButtonHeight);
  Row->addWidget(FValue);
  Row->addWidget(FValueType);
  if (Channel == 0) {
    FBattery = new QLabel(this);
    FBattery->setObjectName("imgBattery");
    FBattery->setFixedSize(24, 24);
    Row->addWidget(FBattery);
  }

  FScrollYPosition = new QScrollBar(Qt::Vertical, BarParent);
  FScrollYPosition->setObjectName("scrollYPositionCH" + N);
  FScrollYPosition->setRange(0, 255);
  FScrollYPosition->setSingleStep(1);
  FScrollYPosition->setPageStep(1);
  FScrollYPosition->setFixedWidth(17);

  BuildValueTypeMenu();
  ConnectGuarded(FVDivInc, &QToolButton::clicked, this,
                 [this] { emit VoltsPerDivisionStepped(-1); });
  ConnectGuarded(FVDivDec, &QToolButton::clicked, this,
                 [this] { emit VoltsPerDivisionStepped(+1); });
  ConnectGuarded(FCoupling, &QButtonGroup::idClicked, this,
                 [this](int Tag) { emit CouplingClicked(static_cast<TOscInputCoupling>(Tag)); });
  ConnectGuarded(FZoom, &QToolButton::clicked, this,
                 [this] { emit ProbeClicked(FZoom->isChecked() ? multX10 : multX1); });
  ConnectGuarded(FScrollYPosition, &QScrollBar::valueChanged, this,
                 [this](int Position) { emit YPositionChanged(Position); });
}

void TChannelStrip::BuildValueTypeMenu() {
  FValueTypeMenu->setProperty("tag", FChannel);
  AddValueTypeItems(*FValueTypeMenu);
  ConnectGuarded(FValueTypeMenu, &QMenu::triggered, this, [this](QAction* Item) {
    emit ValueTypeChosen(static_cast<TOscMeasurementType>(Item->data().toInt()));
  });
}

void TChannelStrip::Visualize(const TOscSignal& Signal) {
  FValueType->setText(ValueTypeName(Signal.Measurement().ValueType()));
  FZoom->setText(Translated(CMultiplier[Signal.Multiplier()]));
  FScrollYPosition->setValue(OscLimitValue(0, Signal.YPosition(), 255));
  // "Press": the exclusive group raises the other two.
  FCoupling->button(Signal.Coupling())->setChecked(true);
  if (Signal.VoltsPerDivision() == vdivNone)
    FVDiv->setText(tr("None"));
  else
    FVDiv->setText(tr("%1/div").arg(QString::fromStdString(OscVoltageToStrFormat(
        "%.0f", OscVoltsPerDivisionVoltage(Signal.VoltsPerDivision(), Signal.Multiplier())))));
  setVisible(Signal.Visible());
  FZoom->setChecked(Signal.Multiplier() == multX10);
}

void TChannelStrip::ShowBattery(TOscBatteryState State) {
  if (FBattery == nullptr || FBatteryShown == State)
    return;
  FBatteryShown = State;
  FBattery->setPixmap(GlyphIcon(BatteryGlyph(State)).pixmap(24, 24));
  FBattery->setToolTip(Translated(CBatteryHint[State]));
  FBattery->update();
}

void TChannelStrip::ShowMarkerVoltage(const QString& Text) {
  FMeasurement->setText(Text);
}

void TChannelStrip::ShowValue(const QString& Text) {
  FValue->setText(Text);
}

QStringList TChannelStrip::ReadoutTexts() const {
  QStringList Texts{FTitle->text()};
  if (const QAbstractButton* Coupling = FCoupling->checkedButton())
    Texts << Coupling->text();
  Texts << FVDiv->text() << FValueType->text() << FValue->text();
  return Texts;
}

void TChannelStrip::SetFrozen(bool Value) {
  if (Value == FFrozen)
    return;
  FFrozen = Value;
  for (QWidget* W :
       std::initializer_list<QWidget*>{FAC, FDC, FGND, FZoom, FVDivInc, FVDivDec, FScrollYPosition})
    W->setEnabled(!Value);
}
