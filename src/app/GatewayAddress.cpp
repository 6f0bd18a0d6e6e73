#include "app/GatewayAddress.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkInterface>
#include <QRegularExpression>
#include <QTextStream>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <string>

#include "osc/OscTypes.h"

namespace {

[[noreturn]] void RaiseSystemError(int Code) {
  // The reason comes from the C library, in the user's language already.
  throw EOscError(QCoreApplication::translate("GatewayAddress", "System Error.  Code: %1.")
                      .arg(Code)
                      .toStdString() +
                  "\r\n" + std::strerror(Code));
}

// The table prints each address as the host-order value of its network-order
// bytes, so writing it back in host order gives the bytes in address order.
QString DottedAddress(quint32 Value) {
  uchar Bytes[4];
  qToUnaligned(Value, Bytes);
  return QStringLiteral("%1.%2.%3.%4").arg(Bytes[0]).arg(Bytes[1]).arg(Bytes[2]).arg(Bytes[3]);
}

constexpr uint CRouteGatewayFlag = 0x0002; // RTF_GATEWAY

// The first default route of the adapter that goes through a gateway.
QString FirstGateway(const QString& Adapter, const QString& RouteTablePath) {
  QFile Table(RouteTablePath);
  errno = 0;
  if (!Table.open(QIODevice::ReadOnly | QIODevice::Text))
    RaiseSystemError(errno != 0 ? errno : ENOENT);
  QTextStream In(&Table);
  In.readLine(); // column names
  while (!In.atEnd()) {
    const QStringList Fields =
        In.readLine().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    // Iface Destination Gateway Flags RefCnt Use Metric Mask ...
    if (Fields.size() < 8 || Fields[0] != Adapter)
      continue;
    bool DestOk = false, GatewayOk = false, FlagsOk = false, MaskOk = false;
    const quint32 Destination = Fields[1].toUInt(&DestOk, 16);
    const quint32 Gateway = Fields[2].toUInt(&GatewayOk, 16);
    const uint Flags = Fields[3].toUInt(&FlagsOk, 16);
    const quint32 Mask = Fields[7].toUInt(&MaskOk, 16);
    if (DestOk && GatewayOk && FlagsOk && MaskOk && Destination == 0 && Mask == 0 &&
        (Flags & CRouteGatewayFlag) != 0 && Gateway != 0)
      return DottedAddress(Gateway);
  }
  return {};
}

} // namespace

std::vector<TNetworkAdapter> SystemNetworkAdapters() {
  std::vector<TNetworkAdapter> Result;
  for (const QNetworkInterface& I : QNetworkInterface::allInterfaces()) {
    if (I.type() == QNetworkInterface::Loopback ||
        I.flags().testFlag(QNetworkInterface::IsLoopBack))
      continue;
    Result.push_back({I.name(), !I.hardwareAddress().isEmpty()});
  }
  return Result;
}

QString GetGatewayAddress() {
  return GetGatewayAddress(SystemNetworkAdapters(), QString::fromLatin1(CRouteTablePath));
}

QString GetGatewayAddress(const std::vector<TNetworkAdapter>& Adapters,
                          const QString& RouteTablePath) {
  if (Adapters.empty())
    throw EOscError(
        QCoreApplication::translate("GatewayAddress", "No network adapter on the local computer.")
            .toStdString());
  for (const TNetworkAdapter& A : Adapters) {
    if (A.HasHardwareAddress)
      return FirstGateway(A.Name, RouteTablePath);
  }
  return {};
}
