#pragma once

// The gateway address of the computer's first network adapter: when the
// computer is joined to the scope's own access point, that is the scope.

#include <QString>

#include <vector>

struct TNetworkAdapter {
  QString Name; // as the routing table names it ("eth0", "wlan0")
  bool HasHardwareAddress = false;
};

// The system's network adapters in its own order, loopback left out.
std::vector<TNetworkAdapter> SystemNetworkAdapters();

inline const char* const CRouteTablePath = "/proc/net/route";

// The IPv4 default gateway of the first adapter with a hardware address, in
// dotted decimal form, from the kernel's routing table. Whether that adapter
// is up or has a gateway plays no part in the choice: the result is then
// empty, as it is when no adapter has a hardware address. Raises EOscError
// with "No network adapter on the local computer." when there is no adapter,
// and a system error when the routing table cannot be read.
QString GetGatewayAddress();
QString GetGatewayAddress(const std::vector<TNetworkAdapter>& Adapters,
                          const QString& RouteTablePath);
