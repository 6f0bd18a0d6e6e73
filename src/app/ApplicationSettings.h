#pragma once

// The program's one stored preference, the frame-rate limit of the scope view,
// in the platform's settings store (organisation "Quillon", application
// "Zelvo"). Writes go to the user's store; reads fall back to the system-wide
// store when the user has none. Failures raise EOscError naming the value.

#include <QString>

#include <memory>

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

private:
  std::unique_ptr<QSettings> FSettings;
};
