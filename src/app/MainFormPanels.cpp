#include "app/MainFormPanels.h"

#include <QButtonGroup>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/Glyphs.h"

namespace {

constexpr int CStripHeight = 26;
constexpr int CSideBarWidth = 128;
constexpr int CGlyphButtonWidth = 28;
constexpr int CModeButtonHeight = 25;

QFrame* MakeSeparator(Qt::Orientation Along, QWidget* Parent) {
  auto* S = new QFrame(Parent);
  if (Along == Qt::Horizontal)
    S->setFixedWidth(CSeparatorWidth);
  else
    S->setFixedHeight(CSeparatorWidth);
  return S;
}

QFrame* MakeColorLine(const QColor& Color, Qt::Orientation Along, QWidget* Parent) {
  auto* Line = new QFrame(Parent);
  if (Along == Qt::Horizontal)
    Line->setFixedHeight(2);
  else
    Line->setFixedWidth(2);
  Line->setAutoFillBackground(true);
  QPalette P = Line->palette();
  P.setColor(QPalette::Window, Color);
  Line->setPalette(P);
  return Line;
}

QToolButton* MakeGlyphButton(TGlyph Glyph, int Width, int Height, QWidget* Parent) {
  auto* B = MakePanelButton(QString(), Width, Height, false, Parent);
  B->setToolButtonStyle(Qt::ToolButtonIconOnly);
  B->setIcon(GlyphIcon(Glyph));
  B->setIconSize(QSize(Width - 6, Height - 6));
  return B;
}

QLabel* MakeIcon(TGlyph Glyph, QWidget* Parent) {
  auto* L = new QLabel(Parent);
  L->setFixedSize(24, 24);
  L->setPixmap(GlyphIcon(Glyph).pixmap(24, 24));
  return L;
}

} // namespace

QColor ChannelColor(int Channel) {
  return Channel == 0 ? QColor(0, 255, 255) : QColor(238, 238, 124);
}

QToolButton* MakePanelButton(const QString& Caption, int Width, int Height, bool Checkable,
                             QWidget* Parent) {
  auto* B = new QToolButton(Parent);
  B->setText(Caption);
  B->setCheckable(Checkable);
  B->setFocusPolicy(Qt::NoFocus);
  B->setToolButtonStyle(Qt::ToolButtonTextOnly);
  if (Width > 0)
    B->setFixedWidth(Width);
  else
    B->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  if (Height > 0)
    B->setFixedHeight(Height);
  return B;
}

QToolButton* MakeDropDownButton(const QString& Caption, QMenu* Menu, QWidget* Parent) {
  auto* B = MakePanelButton(Caption, 0, 0, false, Parent);
  B->setMenu(Menu);
  // No click handler of its own: a press anywhere opens the menu, which a
  // tool button places below its left edge.
  B->setPopupMode(QToolButton::InstantPopup);
  return B;
}

QLabel* MakeValuePanel(const QString& Text, QWidget* Parent) {
  auto* L = new QLabel(Text, Parent);
  L->setAlignment(Qt::AlignCenter);
  L->setFrameShape(QFrame::Panel);
  L->setFrameShadow(QFrame::Sunken);
  return L;
}

TChannelStrip BuildChannelStrip(int Channel, QMenu* ValueTypeMenu, QWidget* Parent) {
  const QString N = QString::number(Channel + 1);
  TChannelStrip S;
  S.pnlCH = new QFrame(Parent);
  S.pnlCH->setObjectName("pnlCH" + N);
  S.pnlCH->setFixedHeight(CStripHeight);
  auto* Column = new QVBoxLayout(S.pnlCH);
  Column->setContentsMargins(0, 0, 0, 0);
  Column->setSpacing(0);
  S.pnlColor = MakeColorLine(ChannelColor(Channel), Qt::Horizontal, S.pnlCH);
  S.pnlColor->setObjectName("pnlColorCH" + N);
  auto* Row = new QHBoxLayout;
  Row->setContentsMargins(0, 0, 0, 0);
  Row->setSpacing(0);
  // Channel 1's line runs along the top of its strip, channel 2's along the
  // bottom, so that both frame the view.
  if (Channel == 0) {
    Column->addWidget(S.pnlColor);
    Column->addLayout(Row, 1);
  } else {
    Column->addLayout(Row, 1);
    Column->addWidget(S.pnlColor);
  }
  const int H = CStripHeight - 2;

  S.pnlTitle = new QLabel("CH" + N, S.pnlCH);
  S.pnlTitle->setObjectName("pnlTitleCH" + N);
  S.pnlTitle->setFixedWidth(56);
  S.pnlTitle->setAlignment(Qt::AlignCenter);
  S.pnlTitle->setAutoFillBackground(true);
  QPalette P = S.pnlTitle->palette();
  P.setColor(QPalette::Window, ChannelColor(Channel));
  P.setColor(QPalette::WindowText, Qt::black);
  S.pnlTitle->setPalette(P);
  QFont Bold = S.pnlTitle->font();
  Bold.setBold(true);
  S.pnlTitle->setFont(Bold);
  Row->addWidget(S.pnlTitle);
  Row->addWidget(MakeSeparator(Qt::Horizontal, S.pnlCH));

  S.btnAC = MakePanelButton("AC", 42, H, true, S.pnlCH);
  S.btnDC = MakePanelButton("DC", 42, H, true, S.pnlCH);
  S.btnGND = MakePanelButton("GND", 48, H, true, S.pnlCH);
  S.Coupling = new QButtonGroup(S.pnlCH);
  S.Coupling->setExclusive(true);
  int Tag = 0;
  for (QToolButton* B : {S.btnAC, S.btnDC, S.btnGND}) {
    S.Coupling->addButton(B, Tag++);
    Row->addWidget(B);
  }
  S.btnAC->setObjectName("btnAC" + N);
  S.btnDC->setObjectName("btnDC" + N);
  S.btnGND->setObjectName("btnGND" + N);
  Row->addWidget(MakeSeparator(Qt::Horizontal, S.pnlCH));

  S.btnZoom = MakePanelButton("Probe X1", 77, H, true, S.pnlCH);
  S.btnZoom->setObjectName("btnZoom" + N);
  Row->addWidget(S.btnZoom);
  Row->addWidget(MakeSeparator(Qt::Horizontal, S.pnlCH));

  S.btnVDivInc = MakeGlyphButton(TGlyph::SineSmall, CGlyphButtonWidth, H, S.pnlCH);
  S.btnVDivInc->setObjectName("btnVDivInc" + N);
  S.pnlVDiv = MakeValuePanel("-", S.pnlCH);
  S.pnlVDiv->setObjectName("pnlVDiv" + N);
  S.pnlVDiv->setFixedWidth(131 - 2 * CGlyphButtonWidth);
  S.btnVDivDec = MakeGlyphButton(TGlyph::SineLarge, CGlyphButtonWidth, H, S.pnlCH);
  S.btnVDivDec->setObjectName("btnVDivDec" + N);
  Row->addWidget(S.btnVDivInc);
  Row->addWidget(S.pnlVDiv);
  Row->addWidget(S.btnVDivDec);
  Row->addWidget(MakeSeparator(Qt::Horizontal, S.pnlCH));

  S.imgMeasurement = MakeIcon(TGlyph::MarkerVoltage, S.pnlCH);
  S.imgMeasurement->setObjectName("imgMeasurement" + N);
  S.lblMeasurement = MakeValuePanel("-", S.pnlCH);
  S.lblMeasurement->setObjectName("lblMeasurement" + N);
  S.lblMeasurement->setFixedWidth(75);
  Row->addWidget(S.imgMeasurement);
  Row->addWidget(S.lblMeasurement);
  Row->addStretch(1);

  S.lblValue = new QLabel("-", S.pnlCH);
  S.lblValue->setObjectName("lblValueCH" + N);
  S.lblValue->setFixedWidth(102);
  S.lblValue->setAlignment(Qt::AlignCenter);
  QPalette VP = S.lblValue->palette();
  VP.setColor(QPalette::WindowText, QColor(0xD0, 0xD0, 0xD0));
  S.lblValue->setPalette(VP);
  S.cbValueType = MakeDropDownButton("Vdc", ValueTypeMenu, S.pnlCH);
  S.cbValueType->setObjectName("cbValueTypeCH" + N);
  S.cbValueType->setFixedSize(72, H);
  Row->addWidget(S.lblValue);
  Row->addWidget(S.cbValueType);
  if (Channel == 0) {
    S.imgBattery = new QLabel(S.pnlCH);
    S.imgBattery->setObjectName("imgBattery");
    S.imgBattery->setFixedSize(24, 24);
    Row->addWidget(S.imgBattery);
  }
  return S;
}

TSideBar BuildSideBar(QMenu* ConnectionMenu, QWidget* Parent) {
  TSideBar S;
  S.pnlSideBar = new QFrame(Parent);
  S.pnlSideBar->setObjectName("pnlSideBar");
  S.pnlSideBar->setFixedWidth(CSideBarWidth);
  auto* Column = new QVBoxLayout(S.pnlSideBar);
  Column->setContentsMargins(0, 0, 0, 0);
  Column->setSpacing(0);
  Column->addSpacing(25);

  S.btnConnect = MakeDropDownButton("&Connect...", ConnectionMenu, S.pnlSideBar);
  S.btnConnect->setObjectName("btnConnect");
  S.btnConnect->setFixedHeight(49);
  Column->addWidget(S.btnConnect);
  Column->addWidget(MakeSeparator(Qt::Vertical, S.pnlSideBar));

  auto* TimeBase = new QHBoxLayout;
  TimeBase->setSpacing(0);
  S.btnTimebaseInc = MakeGlyphButton(TGlyph::PeriodStretched, CGlyphButtonWidth, 25, S.pnlSideBar);
  S.btnTimebaseInc->setObjectName("btnTimebaseInc");
  S.pnlTimeBaseValue = MakeValuePanel("-", S.pnlSideBar);
  S.pnlTimeBaseValue->setObjectName("pnlTimeBaseValue");
  S.pnlTimeBaseValue->setFixedHeight(25);
  S.btnTimebaseDec =
      MakeGlyphButton(TGlyph::PeriodsCompressed, CGlyphButtonWidth, 25, S.pnlSideBar);
  S.btnTimebaseDec->setObjectName("btnTimebaseDec");
  TimeBase->addWidget(S.btnTimebaseInc);
  TimeBase->addWidget(S.pnlTimeBaseValue, 1);
  TimeBase->addWidget(S.btnTimebaseDec);
  Column->addLayout(TimeBase);
  Column->addWidget(MakeSeparator(Qt::Vertical, S.pnlSideBar));

  auto* TimeSpan = new QHBoxLayout;
  TimeSpan->setSpacing(0);
  S.imgTimeSpan = MakeIcon(TGlyph::TimeSpan, S.pnlSideBar);
  S.imgTimeSpan->setObjectName("imgTimeSpan");
  S.lblTimeSpan = MakeValuePanel("-", S.pnlSideBar);
  S.lblTimeSpan->setObjectName("lblTimeSpan");
  S.lblTimeSpan->setFixedHeight(26);
  TimeSpan->addWidget(S.imgTimeSpan);
  TimeSpan->addWidget(S.lblTimeSpan, 1);
  Column->addLayout(TimeSpan);
  Column->addWidget(MakeSeparator(Qt::Vertical, S.pnlSideBar));

  S.pnlTriggerMode = new QFrame(S.pnlSideBar);
  S.pnlTriggerMode->setObjectName("pnlTriggerMode");
  S.pnlTriggerMode->setFixedHeight(104);
  S.pnlTriggerMode->setFrameShape(QFrame::Panel);
  S.pnlTriggerMode->setFrameShadow(QFrame::Sunken);
  auto* Trigger = new QVBoxLayout(S.pnlTriggerMode);
  Trigger->setContentsMargins(4, 2, 4, 4);
  Trigger->setSpacing(3);
  auto* Caption = new QLabel("Triggering", S.pnlTriggerMode);
  Caption->setAlignment(Qt::AlignCenter);
  Trigger->addWidget(Caption);
  auto* Channels = new QHBoxLayout;
  Channels->setSpacing(2);
  S.btnTriggerCh1 = MakePanelButton("CH1", 0, 30, true, S.pnlTriggerMode);
  S.btnTriggerCh1->setObjectName("btnTriggerCh1");
  S.btnTriggerCh2 = MakePanelButton("CH2", 0, 30, true, S.pnlTriggerMode);
  S.btnTriggerCh2->setObjectName("btnTriggerCh2");
  S.TriggerChannel = new QButtonGroup(S.pnlTriggerMode);
  S.TriggerChannel->addButton(S.btnTriggerCh1, 0);
  S.TriggerChannel->addButton(S.btnTriggerCh2, 1);
  Channels->addWidget(S.btnTriggerCh1);
  Channels->addWidget(S.btnTriggerCh2);
  Trigger->addLayout(Channels);
  auto* Slopes = new QHBoxLayout;
  Slopes->setSpacing(2);
  S.btnSlopeRising = MakePanelButton(QString(), 0, 30, true, S.pnlTriggerMode);
  S.btnSlopeRising->setObjectName("btnSlopeRising");
  S.btnSlopeRising->setIcon(GlyphIcon(TGlyph::SlopeRising));
  S.btnSlopeRising->setIconSize(QSize(24, 24));
  S.btnSlopeRising->setToolButtonStyle(Qt::ToolButtonIconOnly);
  S.btnSlopeFalling = MakePanelButton(QString(), 0, 30, true, S.pnlTriggerMode);
  S.btnSlopeFalling->setObjectName("btnSlopeFalling");
  S.btnSlopeFalling->setIcon(GlyphIcon(TGlyph::SlopeFalling));
  S.btnSlopeFalling->setIconSize(QSize(24, 24));
  S.btnSlopeFalling->setToolButtonStyle(Qt::ToolButtonIconOnly);
  S.TriggerSlope = new QButtonGroup(S.pnlTriggerMode);
  S.TriggerSlope->addButton(S.btnSlopeRising, 0);
  S.TriggerSlope->addButton(S.btnSlopeFalling, 1);
  Slopes->addWidget(S.btnSlopeRising);
  Slopes->addWidget(S.btnSlopeFalling);
  Trigger->addLayout(Slopes);
  Column->addWidget(S.pnlTriggerMode);
  Column->addWidget(MakeSeparator(Qt::Vertical, S.pnlSideBar));

  // At most one mode button is down and clicking the down one raises it, so
  // the group is not exclusive; the main window presses them.
  S.btnRun = MakePanelButton("RUN", 0, CModeButtonHeight, true, S.pnlSideBar);
  S.btnRun->setObjectName("btnRun");
  S.btnNormal = MakePanelButton("NORMAL", 0, CModeButtonHeight, true, S.pnlSideBar);
  S.btnNormal->setObjectName("btnNormal");
  S.btnSingle = MakePanelButton("ONCE", 0, CModeButtonHeight, true, S.pnlSideBar);
  S.btnSingle->setObjectName("btnSingle");
  Column->addWidget(S.btnRun);
  Column->addWidget(S.btnNormal);
  Column->addWidget(S.btnSingle);
  Column->addSpacing(9);
  S.btnHold = MakePanelButton("HOLD", 0, CModeButtonHeight, true, S.pnlSideBar);
  S.btnHold->setObjectName("btnHold");
  Column->addWidget(S.btnHold);
  Column->addStretch(1);
  S.btnAutoRange = MakePanelButton("AUTO-RANGE", 0, CModeButtonHeight, true, S.pnlSideBar);
  S.btnAutoRange->setObjectName("btnAutoRange");
  Column->addWidget(S.btnAutoRange);
  Column->addSpacing(9);
  return S;
}
