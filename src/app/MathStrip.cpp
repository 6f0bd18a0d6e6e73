#include "app/MathStrip.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ChannelStrip.h"
#include "app/GuardedConnect.h"
#include "app/PanelWidgets.h"
#include "osc/OscFormat.h"

namespace {

// The model's mode names as lupdate sees them; MathModeName looks the model's
// own table up under them.
[[maybe_unused]] const char* const CMathModeNamesForTranslation[COscMathModeCount] = {
    QT_TRANSLATE_NOOP("TMathStrip", "Off"), QT_TRANSLATE_NOOP("TMathStrip", "CH1+CH2"),
    QT_TRANSLATE_NOOP("TMathStrip", "CH1-CH2"), QT_TRANSLATE_NOOP("TMathStrip", "CH2-CH1"),
    QT_TRANSLATE_NOOP("TMathStrip", "CH1×CH2")};

constexpr int CStripHeight = 26;
constexpr int CButtonHeight = CStripHeight - 2; // above the colour line

} // namespace

QString MathModeName(TOscMathMode Mode) {
  return OscIsValidOrdinal(Mode)
             ? QCoreApplication::translate("TMathStrip", COscMathModeNames[Mode])
             : QString(CInvalidValue);
}

TMathStrip::TMathStrip(QWidget* Parent) : QFrame(Parent) {
  setObjectName("pnlMath");
  setFixedHeight(CStripHeight);
  auto* Column = new QVBoxLayout(this);
  Column->setContentsMargins(0, 0, 0, 0);
  Column->setSpacing(0);
  auto* Row = new QHBoxLayout;
  Row->setContentsMargins(0, 0, 0, 0);
  Row->setSpacing(0);
  Column->addLayout(Row, 1);
  Column->addWidget(MakeColorLine(MathColor(), Qt::Horizontal, this));

  FTitle = new QLabel(tr("MATH"), this);
  FTitle->setObjectName("pnlTitleMath");
  FTitle->setFixedWidth(56);
  FTitle->setAlignment(Qt::AlignCenter);
  FTitle->setAutoFillBackground(true);
  QPalette P = FTitle->palette();
  P.setColor(QPalette::Window, MathColor());
  P.setColor(QPalette::WindowText, Qt::black);
  FTitle->setPalette(P);
  QFont Bold = FTitle->font();
  Bold.setBold(true);
  FTitle->setFont(Bold);
  Row->addWidget(FTitle);
  Row->addWidget(MakeSeparator(Qt::Horizontal, this));

  FModeMenu = new QMenu(tr("&Math"), this);
  auto* Modes = new QActionGroup(FModeMenu);
  for (int M = 0; M < COscMathModeCount; ++M) {
    QAction* Item = FModeMenu->addAction(MathModeName(static_cast<TOscMathMode>(M)));
    Item->setData(M);
    Item->setCheckable(true);
    Modes->addAction(Item);
  }
  // As wide as the coupling and probe buttons of a channel strip above it.
  FMode = MakeDropDownButton(MathModeName(mmOff), FModeMenu, this);
  FMode->setObjectName("cbMathMode");
  FMode->setFixedSize(42 + 42 + 48 + CSeparatorWidth + 77, CButtonHeight);
  Row->addWidget(FMode);
  Row->addWidget(MakeSeparator(Qt::Horizontal, this));

  FVDivInc = MakeGlyphButton(TGlyph::SineSmall, CGlyphButtonWidth, CButtonHeight, false, this);
  FVDivInc->setObjectName("btnVDivIncMath");
  FVDiv = MakeValuePanel(CInvalidValue, this);
  FVDiv->setObjectName("pnlVDivMath");
  FVDiv->setFixedWidth(131 - 2 * CGlyphButtonWidth);
  FVDivDec = MakeGlyphButton(TGlyph::SineLarge, CGlyphButtonWidth, CButtonHeight, false, this);
  FVDivDec->setObjectName("btnVDivDecMath");
  Row->addWidget(FVDivInc);
  Row->addWidget(FVDiv);
  Row->addWidget(FVDivDec);
  Row->addStretch(1);

  FValue = new QLabel(CInvalidValue, this);
  FValue->setObjectName("lblValueMath");
  FValue->setFixedWidth(102);
  FValue->setAlignment(Qt::AlignCenter);
  QPalette VP = FValue->palette();
  VP.setColor(QPalette::WindowText, QColor(0xD0, 0xD0, 0xD0));
  FValue->setPalette(VP);
  FValueTypeMenu = new QMenu(this);
  FValueTypeMenu->setProperty("tag", 2);
  AddValueTypeItems(*FValueTypeMenu);
  FValueType = MakeDropDownButton(ValueTypeName(TOscMeasurementType::Vdc), FValueTypeMenu, this);
  FValueType->setObjectName("cbValueTypeMath");
  FValueType->setFixedSize(72, CButtonHeight);
  Row->addWidget(FValue);
  Row->addWidget(FValueType);
  // Where channel 1's strip has its battery.
  Row->addSpacing(24);

  ConnectGuarded(FModeMenu, &QMenu::triggered, this, [this](QAction* Item) {
    emit ModeChosen(static_cast<TOscMathMode>(Item->data().toInt()));
  });
  ConnectGuarded(FVDivInc, &QToolButton::clicked, this,
                 [this] { emit VoltsPerDivisionStepped(-1); });
  ConnectGuarded(FVDivDec, &QToolButton::clicked, this,
                 [this] { emit VoltsPerDivisionStepped(+1); });
  ConnectGuarded(FValueTypeMenu, &QMenu::triggered, this, [this](QAction* Item) {
    emit ValueTypeChosen(static_cast<TOscMeasurementType>(Item->data().toInt()));
  });
  setVisible(false);
}

void TMathStrip::Visualize(const TOscMath& Math) {
  FMode->setText(MathModeName(Math.Mode()));
  FModeMenu->actions()[Math.Mode()]->setChecked(true);
  const std::string Scale = Math.Squared() ? OscVoltageSquaredToStrFormat("%.0f", Math.Scale())
                                           : OscVoltageToStrFormat("%.0f", Math.Scale());
  FVDiv->setText(tr("%1/div").arg(QString::fromStdString(Scale)));
  FValueType->setText(ValueTypeName(Math.ValueType()));
  setVisible(Math.Mode() != mmOff);
}

void TMathStrip::ShowValue(const QString& Text) {
  FValue->setText(Text);
}
