#include "link/Zelvo.h"

#include <algorithm>
#include <optional>

#include "link/ZelvoFrames.h"
#include "osc/OscKernel.h"

namespace {

// Splits N sample pairs into the two channels' buffers: the receive path's
// per-sample loop, kept free of calls and aliasing so that it vectorises.
OSC_VECTOR_KERNEL void SplitPairs(TOscSample* __restrict D0, TOscSample* __restrict D1,
                                  const std::uint8_t* __restrict Src, int N) {
  for (int K = 0; K < N; ++K) {
    D0[K] = Src[2 * K];
    D1[K] = Src[2 * K + 1];
  }
}

// Stores Pairs sample pairs from Src at sample indices From onwards, skipping
// indices at or beyond each channel's end.
void StoreSamplePairs(TOscSignal& S0, TOscSignal& S1, int From, int Pairs,
                      const std::uint8_t* Src) {
  const int N0 = std::clamp(S0.Count() - From, 0, Pairs);
  const int N1 = std::clamp(S1.Count() - From, 0, Pairs);
  TOscSample* D0 = N0 > 0 ? S0.SampleBlock(From, N0) : nullptr;
  TOscSample* D1 = N1 > 0 ? S1.SampleBlock(From, N1) : nullptr;
  const int Both = std::min(N0, N1);
  if (Both > 0)
    SplitPairs(D0, D1, Src, Both);
  for (int K = Both; K < N0; ++K)
    D0[K] = Src[2 * K];
  for (int K = Both; K < N1; ++K)
    D1[K] = Src[2 * K + 1];
}

// Codes other than full, low and charging leave the battery state as it is.
std::optional<TOscBatteryState> BatteryFromCode(std::uint8_t Code) {
  switch (Code) {
  case CZelvoBatteryCodeFull:
    return batteryFull;
  case CZelvoBatteryCodeLow:
    return batteryLow;
  case CZelvoBatteryCodeCharging:
    return batteryCharging;
  default:
    return std::nullopt;
  }
}

} // namespace

TCustomZelvo::TCustomZelvo() {
  CreateSignals(2);
}

TZelvo::TZelvo()
    : FWifiSettings(std::make_unique<TZelvoWifiSettings>(this)),
      FConnectionObserver(std::make_unique<TZelvoConnectionObserver>()) {
  FConnectionObserver->SetOnReceive([this](TZelvoConnection* Sender, const TZelvoPacket& Packet) {
    HandleReceive(Sender, Packet);
  });
  FConnectionObserver->SetOnConnect([this](TZelvoConnection* Sender) { HandleConnected(Sender); });
  FConnectionObserver->SetOnConnectionDestroy(
      [this](TZelvoConnection* Sender) { Notification(Sender); });
}

// The observer is destroyed before the WiFi settings and unregisters itself
// from the attached connection.
TZelvo::~TZelvo() = default;

void TZelvo::SetConnection(TZelvoConnection* Value) {
  if (FConnection != nullptr)
    FConnection->UnregisterObserver(FConnectionObserver.get());
  FConnection = Value;
  if (Value != nullptr)
    Value->RegisterObserver(FConnectionObserver.get());
}

void TZelvo::Notification(TZelvoConnection* AConnection) {
  if (AConnection != nullptr && AConnection == FConnection)
    SetConnection(nullptr);
}

void TZelvo::Send(TZelvoPacket& Packet) {
  if (FConnection != nullptr)
    FConnection->Send(Packet);
}

void TZelvo::SendRequest(TCommand Command) {
  TZelvoPacket Packet = ZelvoRequestFrame(Command);
  Send(Packet);
}

void TZelvo::RequestSamples() {
  SendRequest(CRequestSamplesCommand);
}

void TZelvo::Calibrate() {
  SendRequest(CStartCalibration);
}

void TZelvo::RequestWifiSettings() {
  SendRequest(CWifiSettingsRequest);
}

void TZelvo::TransmitDebug(bool Value) {
  SendRequest(Value ? CEnableDebug : CDisableDebug);
}

void TZelvo::TransmitSettings() {
  TCustomZelvo::TransmitSettings();
  TZelvoPacket Packet = ZelvoSettingsFrame(ZelvoSettingsBlock(*this));
  if (!Hold())
    ClearSignals();
  Send(Packet);
}

void TZelvo::TransmitWifiSettings() {
  TZelvoPacket Packet = ZelvoChangeWifiFrame(FWifiSettings->Channel(), FWifiSettings->SSID(),
                                             FWifiSettings->Password());
  Send(Packet);
}

void TZelvo::HandleReceive(TZelvoConnection*, const TZelvoPacket& Packet) {
  HandlePacket(Packet);
}

void TZelvo::HandleConnected(TZelvoConnection*) {
  TransmitSettings();
  RequestSamples();
}

void TZelvo::HandlePacket(const TZelvoPacket& Packet) {
  switch (Packet.Command()) {
  case CScopeSettingsCommand:
    HandleSettings(Packet);
    break;
  case CScopeSampleDataCommand:
    HandleSamples(Packet);
    break;
  case CWifiSettings:
    HandleWifiSettings(Packet);
    break;
  default:
    break;
  }
}

// Each step goes through the model's setter, in this order; the setters refuse
// ordinals outside their enumerations and keep the current value. A short frame
// raises at the first missing byte, with the steps before it done.
void TZelvo::HandleSettings(const TZelvoPacket& Packet) {
  const TZelvoSettingsReader Read(Packet);
  SetTimeBase(static_cast<TOscTimeBase>(Read.TimeBase()));
  Trigger().SetLevel(Read.Level());
  const std::uint8_t Flags = Read.Flags();
  Trigger().SetMode(static_cast<TOscTriggerMode>(Flags & CZelvoFlagModeMask));
  Trigger().SetSlope((Flags & CZelvoFlagFalling) != 0 ? teFallingSlope : teRisingSlope);
  Trigger().SetChannel((Flags & CZelvoFlagChannel1) != 0 ? 1 : 0);
  SetHold((Flags & CZelvoFlagHold) != 0);
  SetAutoRange((Flags & CZelvoFlagAutoRange) != 0);
  for (int I = 0; I < 2; ++I) {
    TOscSignal& Signal = Signals()[I];
    Signal.SetCoupling(static_cast<TOscInputCoupling>(Read.Coupling(I)));
    Signal.SetVoltsPerDivision(static_cast<TOscVoltsPerDivision>(Read.VoltsPerDivision(I)));
    Signal.SetYPosition(Read.YPosition(I));
  }
  const std::uint8_t Status = Read.Status();
  // May run a nested event loop (the calibration window).
  SetCalibrating((Status & CZelvoStatusCalibrating) != 0);
  if (const auto State = BatteryFromCode(Status & CZelvoStatusBatteryMask))
    Battery().SetState(*State);
}

void TZelvo::HandleSamples(const TZelvoPacket& Packet) {
  HandleSettings(Packet);
  // The scope counts the offset in bytes of both channels, hence the shift.
  const int From = TZelvoSettingsReader(Packet).Offset() >> 1;
  const int Pairs = (Packet.DataSize() - CZelvoSamplePairsPos) / 2;
  const int To = From + Pairs;
  const std::uint8_t* Src = Packet.DataPtr() + CZelvoSamplePairsPos;
  TOscSignal& Channel0 = Signals()[0];
  TOscSignal& Channel1 = Signals()[1];
  StoreSamplePairs(Channel0, Channel1, From, Pairs, Src);
  if (To == Channel0.Count() || To == Channel1.Count())
    UpdateMeasurements();
}

// Field by field, in this order: a short frame keeps what was read before.
void TZelvo::HandleWifiSettings(const TZelvoPacket& Packet) {
  const TZelvoWifiReader Read(Packet);
  FWifiSettings->SetChannel(Read.Channel());
  FWifiSettings->SetSSID(Read.SSID());
  FWifiSettings->SetPassword(Read.Password());
  FWifiSettings->SetBuild(Read.Build());
  FWifiSettings->SetFirmware(Read.Firmware());
}
