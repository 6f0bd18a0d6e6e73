#pragma once

// The scope's WiFi access-point settings as last reported, and the rule for
// access-point names.

#include <string>

class TOscDevice;

class TZelvoWifiSettings {
public:
  explicit TZelvoWifiSettings(TOscDevice* AOwner) : FOwner(AOwner) {}
  virtual ~TZelvoWifiSettings() = default;
  TZelvoWifiSettings(const TZelvoWifiSettings&) = delete;
  TZelvoWifiSettings& operator=(const TZelvoWifiSettings&) = delete;

  TOscDevice* Owner() const { return FOwner; }
  // 0 until the first report; the setter limits to 1..13 and notifies nothing.
  int Channel() const { return FChannel; }
  void SetChannel(int Value);
  // Plain fields: writing them notifies nothing.
  const std::string& SSID() const { return FSSID; }
  void SetSSID(std::string Value) { FSSID = std::move(Value); }
  const std::string& Password() const { return FPassword; }
  void SetPassword(std::string Value) { FPassword = std::move(Value); }
  const std::string& Firmware() const { return FFirmware; }
  void SetFirmware(std::string Value) { FFirmware = std::move(Value); }
  const std::string& Build() const { return FBuild; }
  void SetBuild(std::string Value) { FBuild = std::move(Value); }

  // Tells the owning device {propWifiSettings}; nothing in the link calls it,
  // received settings replace the fields silently.
  virtual void DoChange();

private:
  TOscDevice* FOwner;
  int FChannel = 0;
  std::string FSSID;
  std::string FPassword;
  std::string FFirmware;
  std::string FBuild;
};

// At least one character, each an ASCII letter, a digit, '_' or '-'.
bool IsValidSSID(const std::string& SSID);
