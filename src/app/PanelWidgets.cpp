#include "app/PanelWidgets.h"

#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include "osc/OscMath.h"

QColor ChannelColor(int Channel) {
  return Channel == 0 ? QColor(0, 255, 255) : QColor(238, 238, 124);
}

QColor MathColor() {
  return QColor(OscRed(COscMathColor), OscGreen(COscMathColor), OscBlue(COscMathColor));
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

QToolButton* MakeGlyphButton(TGlyph Glyph, int Width, int Height, bool Checkable, QWidget* Parent) {
  auto* B = MakePanelButton(QString(), Width, Height, Checkable, Parent);
  B->setToolButtonStyle(Qt::ToolButtonIconOnly);
  B->setIcon(GlyphIcon(Glyph));
  B->setIconSize(Width > 0 ? QSize(Width - 6, Height - 6) : QSize(24, 24));
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

QLabel* MakeIcon(TGlyph Glyph, QWidget* Parent) {
  auto* L = new QLabel(Parent);
  L->setFixedSize(24, 24);
  L->setPixmap(GlyphIcon(Glyph).pixmap(24, 24));
  return L;
}
