#pragma once

// The program's stored preferences in the platform's settings store
// (organisation "Quillon", application "Zelvo"): the frame-rate limit of the
// scope view, and the analysis views' choices (spectrum shown, its window,
// math mode and scale, XY). Writes go to the user's store; reads fall back to
// the system-wide store when the user has none. Failures raise EOscError
// naming the value.

#include <QString>

#include <memory>

#include "osc/OscMath.h"
#include "osc/OscSpectrum.h"
#include "osc/OscTypes.h"

class QSettings;

class TApplicationSettings {
public:
  // The real store of the program.
  TApplicationSettings();
  // A store in the given INI file, so that tests never touch the real one.
  explicit TApplicationSettings(const QString& FileName);
  ~TApplicationSettings();
  TApplicationSettings(const TApplicationSettings&) = delete;
  TApplicationSettings& operator=(const TApplicationSettings&) = delete;

  // The stored integer when a value of that name exists, else Default. A
  // stored value that is not a 32-bit integer raises "Invalid data type for
  // '<Name>'".
  int ReadInteger(const QString& Name, int Default) const;
  // Stores at once; raises "Failed to set data for '<Name>'" when the store
  // cannot be written, and then leaves the value it held before.
  void WriteInteger(const QString& Name, int Value);

  // Frame-rate limit in frames per second; 0 means no limit.
  int MaxFps() const { return ReadInteger(QStringLiteral("MaxFps"), 60); }
  void SetMaxFps(int Value) { WriteInteger(QStringLiteral("MaxFps"), Value); }

  // The analysis choices, each stored when the user makes it. They are views
  // of the capture, not something to stop the program for: an absent,
  // unreadable or out-of-range value reads as the default (spectrum hidden,
  // Hann, math off at 10 V/div, XY off).
  bool SpectrumShown() const { return ReadChoice(QStringLiteral("SpectrumShown"), 0, 2) != 0; }
  void SetSpectrumShown(bool Value) { WriteInteger(QStringLiteral("SpectrumShown"), Value); }
  TOscSpectrumWindow SpectrumWindow() const;
  void SetSpectrumWindow(TOscSpectrumWindow Value);
  TOscMathMode MathMode() const;
  void SetMathMode(TOscMathMode Value);
  // Never vdivNone.
  TOscVoltsPerDivision MathVoltsPerDivision() const;
  void SetMathVoltsPerDivision(TOscVoltsPerDivision Value);
  bool XY() const { return ReadChoice(QStringLiteral("XY"), 0, 2) != 0; }
  void SetXY(bool Value) { WriteInteger(QStringLiteral("XY"), Value); }

private:
  // The stored integer when it is one of 0 .. Count - 1, else Default.
  int ReadChoice(const QString& Name, int Default, int Count) const;

  std::unique_ptr<QSettings> FSettings;
};
