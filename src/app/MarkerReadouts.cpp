#include "app/MarkerReadouts.h"

#include "osc/OscDevice.h"
#include "osc/OscFormat.h"
#include "osc/OscMeasurement.h"
#include "osc/OscSignal.h"

QString MarkerVoltageText(int Distance, const TOscSignal& Signal) {
  return QString::fromStdString(OscVoltageToStr(Distance * Signal.VoltsPerSample()));
}

QString TimeSpanText(int Distance, const TOscDevice& Device) {
  const double TimeSpan = Distance * Device.SampleRate();
  const QString Frequency = TimeSpan == 0 ? QString(CInvalidValue)
                                          : QString::fromStdString(OscFrequencyToStr(1 / TimeSpan));
  return QStringLiteral("%1 (%2)").arg(QString::fromStdString(OscTimeToStr(TimeSpan)), Frequency);
}
