#include "app/ScopeStatusBar.h"

#include <QLabel>

#include "osc/OscFormat.h"

namespace {

constexpr int CStatusBarHeight = 19;
// The link panel takes the rest.
constexpr int CPanelWidths[TScopeStatusBar::Link] = {70, 80, 80};

} // namespace

TScopeStatusBar::TScopeStatusBar(QWidget* Parent) : QStatusBar(Parent) {
  setFixedHeight(CStatusBarHeight);
  setSizeGripEnabled(true);
  for (int I = 0; I < PanelCount; ++I) {
    auto* Panel = new QLabel(this);
    if (I < Link)
      Panel->setFixedWidth(CPanelWidths[I]);
    Panel->setFrameShape(QFrame::Panel);
    Panel->setFrameShadow(QFrame::Sunken);
    addWidget(Panel, I < Link ? 0 : 1);
    FPanels[I] = Panel;
  }
  FPanels[Link]->setObjectName("pnlLink");
}

void TScopeStatusBar::ShowFrameRate(int FramesPerSecond) {
  FPanels[FrameRate]->setText(tr("%1 fps").arg(FramesPerSecond));
}

void TScopeStatusBar::ShowHover(int Channel, double Voltage) {
  const QString Value =
      QString::fromStdString(OscFloatToStr(Voltage, 2, false, OscDecimalSeparator()));
  FPanels[Channel == 0 ? HoverCH1 : HoverCH2]->setText(tr("CH%1: %2V").arg(Channel + 1).arg(Value));
}

void TScopeStatusBar::ShowSoftwareDrawing(bool Software) {
  FPanels[Link]->setToolTip(Software ? tr("Software drawing") : QString());
}

void TScopeStatusBar::ShowLink(const QString& Text, bool Trouble) {
  QLabel* Panel = FPanels[Link];
  Panel->setText(Text);
  Panel->setProperty("trouble", Trouble);
  Panel->setStyleSheet(Trouble ? QStringLiteral("QLabel { color: #ff9a3c; font-weight: bold; }")
                               : QString());
}
