#pragma once

// The program's own pictures for buttons and icons, drawn as vectors at every
// requested size so that they stay crisp at any scaling. Strokes are light, to
// read on the dark skin; disabled icons are drawn dimmed.

#include <QIcon>

enum class TGlyph {
  SineSmall,         // small amplitude: more volts per division
  SineLarge,         // large amplitude: fewer volts per division
  PeriodStretched,   // one period: less time per division
  PeriodsCompressed, // several periods: more time per division
  MarkerVoltage,     // two horizontal lines, vertical double arrow, "?"
  TimeSpan,          // two vertical lines, horizontal double arrow, "?"
  SlopeRising,
  SlopeFalling,
  BatteryEmpty,           // "battery-empty"
  BatteryCautionCharging, // "battery-caution-charging"
  BatteryCharged,         // "battery-charged"
  Warning,                // an orange warning triangle
  Information,            // a blue information sign
};

// QIcon::name() gives the glyph's image name, e.g. "battery-empty".
QIcon GlyphIcon(TGlyph Glyph);
