#pragma once

// The devices of the Zelvo scope: TCustomZelvo, the two-channel base of the
// scope driver and the demo device, and TZelvo, the driver that mirrors a real
// scope into the model over an attached connection.

#include <memory>

#include "link/ZelvoConnection.h"
#include "link/ZelvoPacket.h"
#include "link/ZelvoWifiSettings.h"
#include "osc/OscDevice.h"

// Channel index 0 is the scope's channel 1, index 1 its channel 2, each with
// CSampleCount samples.
class TCustomZelvo : public TOscDevice {
public:
  TCustomZelvo();
};

class TZelvo : public TCustomZelvo {
public:
  TZelvo();
  ~TZelvo() override;

  TZelvoWifiSettings& WifiSettings() const { return *FWifiSettings; }

  // Not owned. Attaching or detaching opens, closes and sends nothing. A
  // connection destroyed while attached detaches itself; a driver destroyed
  // while attached unregisters from it.
  TZelvoConnection* Connection() const { return FConnection; }
  void SetConnection(TZelvoConnection* Value);

  // Through the attached connection; without one nothing is sent. The caller
  // keeps the packet.
  void Send(TZelvoPacket& Packet);

  void RequestSamples();
  void Calibrate() override;
  void RequestWifiSettings();
  void TransmitDebug(bool Value);
  // The whole model as a settings frame; without Hold both channels are
  // emptied before it goes out.
  void TransmitSettings() override;
  void TransmitWifiSettings();

  // Dispatch of a received frame by its command; unknown commands are ignored.
  // A frame too short for its payload raises "Index out of range" after the
  // steps already done.
  virtual void HandlePacket(const TZelvoPacket& Packet);

protected:
  // The free notification of an attached connection being destroyed.
  virtual void Notification(TZelvoConnection* AConnection);
  void HandleReceive(TZelvoConnection* Sender, const TZelvoPacket& Packet);
  void HandleConnected(TZelvoConnection* Sender);
  void HandleSettings(const TZelvoPacket& Packet);
  void HandleSamples(const TZelvoPacket& Packet);
  void HandleWifiSettings(const TZelvoPacket& Packet);

private:
  void SendRequest(TCommand Command);

  std::unique_ptr<TZelvoWifiSettings> FWifiSettings;
  TZelvoConnection* FConnection = nullptr;
  std::unique_ptr<TZelvoConnectionObserver> FConnectionObserver;
};
