#pragma once

// The small pieces the front panel is built from: flat panel buttons, drop-down
// buttons, sunken value panels, separators, colour lines and icons, made the
// same way wherever they appear.

#include <QColor>
#include <QString>

#include "app/Glyphs.h"

class QFrame;
class QLabel;
class QMenu;
class QToolButton;
class QWidget;

// Width in pixels of the thin separator panels between groups.
constexpr int CSeparatorWidth = 4;
// Width of the glyph buttons beside the value panels.
constexpr int CGlyphButtonWidth = 28;

// Channel 1 cyan, channel 2 a pale yellow.
QColor ChannelColor(int Channel);
// The math channel's magenta, the trace colour the model names.
QColor MathColor();

// A flat-looking front-panel button: checkable ones show their down state.
// A width or height of 0 lets the layout decide.
QToolButton* MakePanelButton(const QString& Caption, int Width, int Height, bool Checkable,
                             QWidget* Parent);

// A panel button showing a glyph instead of a caption.
QToolButton* MakeGlyphButton(TGlyph Glyph, int Width, int Height, bool Checkable, QWidget* Parent);

// A drop-down button that opens Menu below its left edge on any left press.
QToolButton* MakeDropDownButton(const QString& Caption, QMenu* Menu, QWidget* Parent);

// A value panel: sunken, centred text.
QLabel* MakeValuePanel(const QString& Text, QWidget* Parent);

// A thin separator panel between two groups laid out along Along.
QFrame* MakeSeparator(Qt::Orientation Along, QWidget* Parent);

// A 2-pixel line in Color, running along Along.
QFrame* MakeColorLine(const QColor& Color, Qt::Orientation Along, QWidget* Parent);

// A 24 x 24 picture.
QLabel* MakeIcon(TGlyph Glyph, QWidget* Parent);
