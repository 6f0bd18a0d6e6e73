#include "link/ZelvoWifiSettings.h"

#include <algorithm>

#include "osc/OscDevice.h"

void TZelvoWifiSettings::SetChannel(int Value) {
  FChannel = std::clamp(Value, 1, 13);
}

void TZelvoWifiSettings::DoChange() {
  if (FOwner != nullptr)
    FOwner->DoChange({propWifiSettings});
}

bool IsValidSSID(const std::string& SSID) {
  if (SSID.empty())
    return false;
  // Byte comparisons, not <cctype>: the locale must not let non-ASCII letters in.
  return std::all_of(SSID.begin(), SSID.end(), [](char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '_' ||
           C == '-';
  });
}
