#include "app/SideBar.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

#include "app/GuardedConnect.h"
#include "app/PanelWidgets.h"
#include "osc/OscDevice.h"
#include "osc/OscFormat.h"
#include "osc/OscMeasurement.h"
#include "osc/OscScales.h"

namespace {

constexpr int CSideBarWidth = 128;
constexpr int CModeButtonHeight = 25;

} // namespace

TSideBar::TSideBar(QMenu* ConnectionMenu, QAction* SpectrumAction, QWidget* Parent)
    : QFrame(Parent) {
  setObjectName("pnlSideBar");
  setFixedWidth(CSideBarWidth);
  auto* Column = new QVBoxLayout(this);
  Column->setContentsMargins(0, 0, 0, 0);
  Column->setSpacing(0);
  Column->addSpacing(25);

  FConnect = MakeDropDownButton(tr("&Connect..."), ConnectionMenu, this);
  FConnect->setObjectName("btnConnect");
  FConnect->setFixedHeight(49);
  Column->addWidget(FConnect);
  Column->addWidget(MakeSeparator(Qt::Vertical, this));

  auto* TimeBase = new QHBoxLayout;
  TimeBase->setSpacing(0);
  FTimebaseInc = MakeGlyphButton(TGlyph::PeriodStretched, CGlyphButtonWidth, 25, false, this);
  FTimebaseInc->setObjectName("btnTimebaseInc");
  FTimeBaseValue = MakeValuePanel(CInvalidValue, this);
  FTimeBaseValue->setObjectName("pnlTimeBaseValue");
  FTimeBaseValue->setFixedHeight(25);
  FTimebaseDec = MakeGlyphButton(TGlyph::PeriodsCompressed, CGlyphButtonWidth, 25, false, this);
  FTimebaseDec->setObjectName("btnTimebaseDec");
  TimeBase->addWidget(FTimebaseInc);
  TimeBase->addWidget(FTimeBaseValue, 1);
  TimeBase->addWidget(FTimebaseDec);
  Column->addLayout(TimeBase);
  Column->addWidget(MakeSeparator(Qt::Vertical, this));

  auto* TimeSpan = new QHBoxLayout;
  TimeSpan->setSpacing(0);
  QLabel* TimeSpanIcon = MakeIcon(TGlyph::TimeSpan, this);
  TimeSpanIcon->setObjectName("imgTimeSpan");
  FTimeSpan = MakeValuePanel(CInvalidValue, this);
  FTimeSpan->setObjectName("lblTimeSpan");
  FTimeSpan->setFixedHeight(26);
  TimeSpan->addWidget(TimeSpanIcon);
  TimeSpan->addWidget(FTimeSpan, 1);
  Column->addLayout(TimeSpan);
  Column->addWidget(MakeSeparator(Qt::Vertical, this));

  Column->addWidget(BuildTriggerGroup());
  Column->addWidget(MakeSeparator(Qt::Vertical, this));

  // At most one mode button is down and clicking the down one raises it, so
  // they form no exclusive group; PressTriggerMode keeps the rule.
  FRun = MakePanelButton(tr("RUN"), 0, CModeButtonHeight, true, this);
  FRun->setObjectName("btnRun");
  FNormal = MakePanelButton(tr("NORMAL"), 0, CModeButtonHeight, true, this);
  FNormal->setObjectName("btnNormal");
  FSingle = MakePanelButton(tr("ONCE"), 0, CModeButtonHeight, true, this);
  FSingle->setObjectName("btnSingle");
  Column->addWidget(FRun);
  Column->addWidget(FNormal);
  Column->addWidget(FSingle);
  Column->addSpacing(9);
  FHold = MakePanelButton(tr("HOLD"), 0, CModeButtonHeight, true, this);
  FHold->setObjectName("btnHold");
  Column->addWidget(FHold);
  // In the flexible gap, so that every fixed place above and below it stays.
  Column->addSpacing(9);
  FSpectrum = MakePanelButton(QString(), 0, CModeButtonHeight, true, this);
  FSpectrum->setObjectName("btnSpectrum");
  FSpectrum->setDefaultAction(SpectrumAction);
  Column->addWidget(FSpectrum);
  Column->addStretch(1);
  FAutoRange = MakePanelButton(tr("AUTO-RANGE"), 0, CModeButtonHeight, true, this);
  FAutoRange->setObjectName("btnAutoRange");
  Column->addWidget(FAutoRange);
  Column->addSpacing(9);

  ConnectGuarded(FTimebaseInc, &QToolButton::clicked, this, [this] { emit TimeBaseStepped(-1); });
  ConnectGuarded(FTimebaseDec, &QToolButton::clicked, this, [this] { emit TimeBaseStepped(+1); });
  ConnectGuarded(FTriggerChannel, &QButtonGroup::idClicked, this,
                 [this](int Tag) { emit TriggerChannelClicked(Tag); });
  ConnectGuarded(FTriggerSlope, &QButtonGroup::idClicked, this,
                 [this](int Tag) { emit TriggerSlopeClicked(static_cast<TOscTriggerSlope>(Tag)); });
  const std::pair<QToolButton*, TOscTriggerMode> Modes[] = {
      {FNormal, tmNormal}, {FRun, tmRun}, {FSingle, tmOnce}};
  for (const auto& [Button, Mode] : Modes) {
    QToolButton* B = Button;
    const TOscTriggerMode M = Mode;
    ConnectGuarded(B, &QToolButton::clicked, this, [this, B, M] {
      // The click pressed or raised this button; a press raises the others.
      if (B->isChecked())
        PressTriggerMode(M);
      emit TriggerModeClicked(M);
    });
  }
  ConnectGuarded(FHold, &QToolButton::clicked, this, [this] { emit HoldClicked(); });
  ConnectGuarded(FAutoRange, &QToolButton::clicked, this, [this] { emit AutoRangeClicked(); });
}

QFrame* TSideBar::BuildTriggerGroup() {
  auto* Group = new QFrame(this);
  Group->setObjectName("pnlTriggerMode");
  Group->setFixedHeight(104);
  Group->setFrameShape(QFrame::Panel);
  Group->setFrameShadow(QFrame::Sunken);
  auto* Trigger = new QVBoxLayout(Group);
  Trigger->setContentsMargins(4, 2, 4, 4);
  Trigger->setSpacing(3);
  auto* Caption = new QLabel(tr("Triggering"), Group);
  Caption->setAlignment(Qt::AlignCenter);
  Trigger->addWidget(Caption);

  auto* Channels = new QHBoxLayout;
  Channels->setSpacing(2);
  FTriggerCh1 = MakePanelButton(tr("CH1"), 0, 30, true, Group);
  FTriggerCh1->setObjectName("btnTriggerCh1");
  FTriggerCh2 = MakePanelButton(tr("CH2"), 0, 30, true, Group);
  FTriggerCh2->setObjectName("btnTriggerCh2");
  FTriggerChannel = new QButtonGroup(Group);
  FTriggerChannel->addButton(FTriggerCh1, 0);
  FTriggerChannel->addButton(FTriggerCh2, 1);
  Channels->addWidget(FTriggerCh1);
  Channels->addWidget(FTriggerCh2);
  Trigger->addLayout(Channels);

  auto* Slopes = new QHBoxLayout;
  Slopes->setSpacing(2);
  FSlopeRising = MakeGlyphButton(TGlyph::SlopeRising, 0, 30, true, Group);
  FSlopeRising->setObjectName("btnSlopeRising");
  FSlopeFalling = MakeGlyphButton(TGlyph::SlopeFalling, 0, 30, true, Group);
  FSlopeFalling->setObjectName("btnSlopeFalling");
  FTriggerSlope = new QButtonGroup(Group);
  FTriggerSlope->addButton(FSlopeRising, teRisingSlope);
  FTriggerSlope->addButton(FSlopeFalling, teFallingSlope);
  Slopes->addWidget(FSlopeRising);
  Slopes->addWidget(FSlopeFalling);
  Trigger->addLayout(Slopes);
  return Group;
}

void TSideBar::Visualize(const TOscDevice& Device) {
  FTimeBaseValue->setText(
      tr("%1/div").arg(QString::fromStdString(OscTimeToStr(COscTimeBase[Device.TimeBase()]))));
  // "Press": each exclusive group raises its other button.
  const TOscTrigger& Trigger = Device.Trigger();
  if (Trigger.Channel() == 0)
    FTriggerCh1->setChecked(true);
  else if (Trigger.Channel() == 1)
    FTriggerCh2->setChecked(true);
  (Trigger.Slope() == teRisingSlope ? FSlopeRising : FSlopeFalling)->setChecked(true);
  PressTriggerMode(Trigger.Mode());
  FAutoRange->setChecked(Device.AutoRange());
  FHold->setChecked(Device.Hold());
}

void TSideBar::ShowTimeSpan(const QString& Text) {
  FTimeSpan->setText(Text);
}

void TSideBar::SetFrozen(bool Value) {
  if (Value == FFrozen)
    return;
  FFrozen = Value;
  for (QWidget* W : std::initializer_list<QWidget*>{FTimebaseInc, FTimebaseDec, FTriggerCh1,
                                                    FTriggerCh2, FSlopeRising, FSlopeFalling, FRun,
                                                    FNormal, FSingle, FHold, FAutoRange})
    W->setEnabled(!Value);
}

void TSideBar::PressTriggerMode(TOscTriggerMode Mode) {
  FNormal->setChecked(Mode == tmNormal);
  FRun->setChecked(Mode == tmRun);
  FSingle->setChecked(Mode == tmOnce);
}
