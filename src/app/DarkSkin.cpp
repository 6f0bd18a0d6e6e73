#include "app/DarkSkin.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QToolTip>

namespace {

// The skin's colours. Checked buttons take the accent; the accent is
// lighter still while a button is held down.
const QColor CWindow(0x20, 0x22, 0x26);
const QColor CText(0xE2, 0xE2, 0xE2);
const QColor CBase(0x17, 0x18, 0x1B);
const QColor CButton(0x33, 0x36, 0x3C);
const QColor CButtonHover(0x3E, 0x42, 0x49);
const QColor CButtonDisabled(0x28, 0x2A, 0x2E);
const QColor COutline(0x12, 0x13, 0x16);
const QColor CAccent(0x2F, 0x6D, 0xB5);
const QColor CAccentHover(0x3A, 0x7B, 0xC6);
const QColor CAccentDown(0x55, 0x93, 0xDB);
const QColor CAccentEdge(0x6F, 0xA8, 0xEA);
const QColor CAccentDisabled(0x2A, 0x38, 0x4A);
const QColor CDisabledText(0x6E, 0x71, 0x78);
const QColor CScrollHandle(0x5E, 0x63, 0x6C);
const QColor CToolTip(0x2A, 0x2C, 0x31);

constexpr const char* CStyleSheet = R"(
QToolTip { color: #E6E6E6; background-color: #2A2C31; border: 1px solid #5A5E66; padding: 2px; }
)";

QPalette DarkPalette() {
  QPalette P;
  P.setColor(QPalette::Window, CWindow);
  P.setColor(QPalette::WindowText, CText);
  P.setColor(QPalette::Base, CBase);
  P.setColor(QPalette::AlternateBase, QColor(0x25, 0x27, 0x2B));
  P.setColor(QPalette::ToolTipBase, CToolTip);
  P.setColor(QPalette::ToolTipText, CText);
  P.setColor(QPalette::PlaceholderText, QColor(0x8A, 0x8A, 0x8A));
  P.setColor(QPalette::Text, CText);
  P.setColor(QPalette::Button, CButton);
  P.setColor(QPalette::ButtonText, CText);
  P.setColor(QPalette::BrightText, QColor(0xFF, 0x60, 0x60));
  P.setColor(QPalette::Light, QColor(0x4A, 0x4E, 0x55));
  P.setColor(QPalette::Midlight, QColor(0x3C, 0x3F, 0x45));
  P.setColor(QPalette::Mid, QColor(0x2A, 0x2C, 0x31));
  P.setColor(QPalette::Dark, QColor(0x14, 0x15, 0x18));
  P.setColor(QPalette::Shadow, QColor(0x0A, 0x0A, 0x0C));
  P.setColor(QPalette::Highlight, CAccent);
  P.setColor(QPalette::HighlightedText, Qt::white);
  P.setColor(QPalette::Link, QColor(0x6E, 0xA8, 0xFF));
  P.setColor(QPalette::LinkVisited, QColor(0xB0, 0x8C, 0xFF));

  // Fusion etches disabled menu text in the light colour; on the window
  // colour that shadow vanishes instead of blurring the text.
  P.setColor(QPalette::Disabled, QPalette::Light, CWindow);
  P.setColor(QPalette::Disabled, QPalette::WindowText, CDisabledText);
  P.setColor(QPalette::Disabled, QPalette::Text, CDisabledText);
  P.setColor(QPalette::Disabled, QPalette::ButtonText, CDisabledText);
  P.setColor(QPalette::Disabled, QPalette::Button, CButtonDisabled);
  P.setColor(QPalette::Disabled, QPalette::Base, QColor(0x1C, 0x1D, 0x20));
  P.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x3A, 0x3F, 0x48));
  P.setColor(QPalette::Disabled, QPalette::HighlightedText, QColor(0x9A, 0x9A, 0x9A));
  return P;
}

// Fusion marks a checked or pressed button only by a slightly darker shade,
// which is lost on a dark palette; this style paints every button panel
// itself, with the accent for checked and pressed.
class TDarkStyle : public QProxyStyle {
public:
  TDarkStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  QPalette standardPalette() const override { return DarkPalette(); }

  void drawPrimitive(PrimitiveElement Element, const QStyleOption* Option, QPainter* Painter,
                     const QWidget* Widget) const override {
    switch (Element) {
    case PE_PanelButtonCommand:
    case PE_PanelButtonTool:
    case PE_IndicatorButtonDropDown:
      DrawButtonPanel(Element, Option, Painter);
      return;
    default:
      QProxyStyle::drawPrimitive(Element, Option, Painter, Widget);
    }
  }

  void drawComplexControl(ComplexControl Control, const QStyleOptionComplex* Option,
                          QPainter* Painter, const QWidget* Widget) const override {
    const auto* Bar = qstyleoption_cast<const QStyleOptionSlider*>(Option);
    if (Control == CC_ScrollBar && Bar != nullptr)
      DrawScrollBar(Bar, Painter, Widget);
    else
      QProxyStyle::drawComplexControl(Control, Option, Painter, Widget);
  }

private:
  static void DrawButtonPanel(PrimitiveElement Element, const QStyleOption* Option,
                              QPainter* Painter) {
    const State S = Option->state;
    const bool Enabled = S & State_Enabled;
    const bool Down = S & State_Sunken;
    const bool On = S & State_On;
    const bool Hover = Enabled && (S & State_MouseOver);
    // A raised tool button without hover (autoRaise) shows no panel at all.
    if (Element == PE_PanelButtonTool && (S & State_AutoRaise) && !Down && !On && !Hover)
      return;

    QColor Fill = CButton, Edge = COutline;
    if (!Enabled) {
      Fill = On ? CAccentDisabled : CButtonDisabled;
    } else if (Down) {
      Fill = CAccentDown;
      Edge = CAccentEdge;
    } else if (On) {
      Fill = Hover ? CAccentHover : CAccent;
      Edge = CAccentEdge;
    } else if (Hover) {
      Fill = CButtonHover;
    }
    bool Default = false;
    if (const auto* Button = qstyleoption_cast<const QStyleOptionButton*>(Option))
      Default = Button->features & QStyleOptionButton::DefaultButton;
    if (Enabled && (Default || (S & State_HasFocus)))
      Edge = CAccentEdge;

    Painter->save();
    Painter->setRenderHint(QPainter::Antialiasing);
    Painter->setPen(QPen(Edge, 1));
    Painter->setBrush(Fill);
    Painter->drawRoundedRect(QRectF(Option->rect).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
    Painter->restore();
  }

  // Fusion's slider hardly parts from its groove on a dark palette: a dark
  // groove, a clearly lighter handle, the accent while it is dragged.
  void DrawScrollBar(const QStyleOptionSlider* Bar, QPainter* Painter,
                     const QWidget* Widget) const {
    const bool Horizontal = Bar->orientation == Qt::Horizontal;
    const bool Enabled = Bar->state & State_Enabled;
    const auto Pressed = [&](SubControl Sub) {
      return (Bar->activeSubControls & Sub) && (Bar->state & State_Sunken);
    };
    Painter->save();
    Painter->fillRect(Bar->rect, CBase);
    const struct {
      SubControl Sub;
      PrimitiveElement Arrow;
    } Ends[] = {{SC_ScrollBarSubLine, Horizontal ? PE_IndicatorArrowLeft : PE_IndicatorArrowUp},
                {SC_ScrollBarAddLine, Horizontal ? PE_IndicatorArrowRight : PE_IndicatorArrowDown}};
    for (const auto& End : Ends) {
      if (!(Bar->subControls & End.Sub))
        continue;
      QStyleOption Arrow(*Bar);
      Arrow.rect = subControlRect(CC_ScrollBar, Bar, End.Sub, Widget);
      Painter->fillRect(Arrow.rect, Pressed(End.Sub) ? CButtonHover : CButton);
      proxy()->drawPrimitive(End.Arrow, &Arrow, Painter, Widget);
    }
    if (Bar->subControls & SC_ScrollBarSlider) {
      const QRect Handle = subControlRect(CC_ScrollBar, Bar, SC_ScrollBarSlider, Widget);
      const bool Hover =
          (Bar->activeSubControls & SC_ScrollBarSlider) && (Bar->state & State_MouseOver);
      QColor Fill = CScrollHandle;
      if (!Enabled)
        Fill = CButton;
      else if (Pressed(SC_ScrollBarSlider))
        Fill = CAccent;
      else if (Hover)
        Fill = CScrollHandle.lighter(120);
      Painter->setRenderHint(QPainter::Antialiasing);
      Painter->setPen(Qt::NoPen);
      Painter->setBrush(Fill);
      Painter->drawRoundedRect(QRectF(Handle).adjusted(2, 2, -2, -2), 3, 3);
    }
    Painter->restore();
  }
};

} // namespace

void ApplyDarkSkin(QApplication& App) {
  auto* Style = new TDarkStyle; // the application takes it over
  QApplication::setStyle(Style);
  const QPalette Palette = Style->standardPalette();
  QApplication::setPalette(Palette);
  // Tool tips keep a palette of their own on some platforms.
  QToolTip::setPalette(Palette);
  App.setStyleSheet(QString::fromLatin1(CStyleSheet));
}
