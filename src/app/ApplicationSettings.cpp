#include "app/ApplicationSettings.h"

#include <QCoreApplication>
#include <QSettings>

#include <limits>

#include "osc/OscTypes.h"

namespace {

constexpr const char* CContext = "TApplicationSettings";
constexpr const char* SInvalidDataType =
    QT_TRANSLATE_NOOP("TApplicationSettings", "Invalid data type for '%1'");
constexpr const char* SFailedToSetData =
    QT_TRANSLATE_NOOP("TApplicationSettings", "Failed to set data for '%1'");

// In the user's language: the message reaches the user as it is.
[[noreturn]] void RaiseFor(const char* Format, const QString& Name) {
  throw EOscError(QCoreApplication::translate(CContext, Format).arg(Name).toStdString());
}

// The INI files of the native store hand every number back as text, other
// stores as a number: both count when they hold a 32-bit integer exactly.
bool ToInt32(const QVariant& Value, int& Result) {
  bool Ok = false;
  qlonglong Wide = 0;
  switch (Value.typeId()) {
  case QMetaType::QString:
    Wide = Value.toString().toLongLong(&Ok, 10);
    break;
  case QMetaType::Int:
  case QMetaType::UInt:
  case QMetaType::Long:
  case QMetaType::ULong:
  case QMetaType::LongLong:
  case QMetaType::Short:
  case QMetaType::UShort:
    Wide = Value.toLongLong(&Ok);
    break;
  case QMetaType::ULongLong:
    Ok = Value.toULongLong() <= qulonglong(std::numeric_limits<int>::max());
    Wide = qlonglong(Value.toULongLong());
    break;
  default:
    break;
  }
  if (!Ok || Wide < std::numeric_limits<int>::min() || Wide > std::numeric_limits<int>::max())
    return false;
  Result = int(Wide);
  return true;
}

} // namespace

TApplicationSettings::TApplicationSettings()
    : FSettings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QStringLiteral("Quillon"), QStringLiteral("Zelvo"))) {}

TApplicationSettings::TApplicationSettings(const QString& FileName)
    : FSettings(std::make_unique<QSettings>(FileName, QSettings::IniFormat)) {}

TApplicationSettings::~TApplicationSettings() = default;

int TApplicationSettings::ReadInteger(const QString& Name, int Default) const {
  const QVariant Value = FSettings->value(Name);
  if (!Value.isValid())
    return Default;
  int Result = 0;
  if (!ToInt32(Value, Result))
    RaiseFor(SInvalidDataType, Name);
  return Result;
}

void TApplicationSettings::WriteInteger(const QString& Name, int Value) {
  // QSettings keeps a value it could not write in its cache and would read
  // it back as if stored; refuse up front, and put the old value back when
  // the write itself fails.
  if (!FSettings->isWritable())
    RaiseFor(SFailedToSetData, Name);
  const QVariant Old = FSettings->value(Name);
  FSettings->setValue(Name, Value);
  FSettings->sync();
  if (FSettings->status() != QSettings::NoError) {
    if (Old.isValid())
      FSettings->setValue(Name, Old);
    else
      FSettings->remove(Name);
    RaiseFor(SFailedToSetData, Name);
  }
}

int TApplicationSettings::ReadChoice(const QString& Name, int Default, int Count) const {
  int Result = 0;
  if (!ToInt32(FSettings->value(Name), Result) || Result < 0 || Result >= Count)
    return Default;
  return Result;
}

TOscSpectrumWindow TApplicationSettings::SpectrumWindow() const {
  return static_cast<TOscSpectrumWindow>(
      ReadChoice(QStringLiteral("SpectrumWindow"), swHann, COscSpectrumWindowCount));
}

void TApplicationSettings::SetSpectrumWindow(TOscSpectrumWindow Value) {
  WriteInteger(QStringLiteral("SpectrumWindow"), Value);
}

TOscMathMode TApplicationSettings::MathMode() const {
  return static_cast<TOscMathMode>(
      ReadChoice(QStringLiteral("MathMode"), mmOff, COscMathModeCount));
}

void TApplicationSettings::SetMathMode(TOscMathMode Value) {
  WriteInteger(QStringLiteral("MathMode"), Value);
}

TOscVoltsPerDivision TApplicationSettings::MathVoltsPerDivision() const {
  const int Value = ReadChoice(QStringLiteral("MathVoltsPerDivision"), vdiv10V,
                               OscOrdinalCount(TOscVoltsPerDivision{}));
  return Value == vdivNone ? vdiv10V : static_cast<TOscVoltsPerDivision>(Value);
}

void TApplicationSettings::SetMathVoltsPerDivision(TOscVoltsPerDivision Value) {
  WriteInteger(QStringLiteral("MathVoltsPerDivision"), Value);
}
