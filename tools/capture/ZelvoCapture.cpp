#include "capture/ZelvoCapture.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QTcpSocket>

#include <algorithm>

#include "l10n/OscMessages.h"
#include "link/qt/ZelvoLinkError.h"
#include "link/qt/ZelvoTcpConnection.h"
#include "link/qt/ZelvoUsbConnection.h"
#include "osc/OscErrorBoundary.h"
#include "osc/OscExport.h"
#include "osc/OscFormat.h"
#include "osc/OscMeasurement.h"

namespace {

// The readout names of the program's value-type menus, by TOscMeasurementType;
// the timing kinds after them are named by the model.
const char* const CValueTypeNames[] = {"Vdc",   "Vmin",   "Vmax",   "Vpp",   "Vrms",
                                       "Vtrms", "dBm",    "dBgain", "Wrms2", "Wrms4",
                                       "Wrms8", "Wrms16", "Wrms32"};

// Bits 5-6 of the flags byte carry nothing.
constexpr std::uint8_t CComparedFlags = CZelvoFlagModeMask | CZelvoFlagFalling |
                                        CZelvoFlagChannel1 | CZelvoFlagHold | CZelvoFlagAutoRange;

bool SameSettings(const TZelvoSettingsBlock& A, const TZelvoSettingsBlock& B) {
  for (int C = 0; C < 2; ++C)
    if (A.Coupling[C] != B.Coupling[C] || A.VoltsPerDivision[C] != B.VoltsPerDivision[C] ||
        A.YPosition[C] != B.YPosition[C])
      return false;
  return A.TimeBase == B.TimeBase && A.Level == B.Level &&
         (A.Flags & CComparedFlags) == (B.Flags & CComparedFlags);
}

// A message of the model or a link, in the user's language.
std::string Translated(const char* Message) {
  return OscTranslatedMessage(QString::fromUtf8(Message)).toStdString();
}

QString Q(const std::string& Text) {
  return QString::fromStdString(Text);
}

std::string Seconds(int Ms) {
  return OscFloatToStr(Ms / 1000.0, 3, true, '.') + " s";
}

// Restores what a run changes process-wide.
class TProcessState {
public:
  TProcessState(char Separator, TOscExceptionHandler Handler)
      : FSeparator(OscDecimalSeparator()), FHandler(OscSetExceptionHandler(std::move(Handler))) {
    OscSetDecimalSeparator(Separator);
  }
  ~TProcessState() {
    OscSetDecimalSeparator(FSeparator);
    OscSetExceptionHandler(std::move(FHandler));
  }
  TProcessState(const TProcessState&) = delete;
  TProcessState& operator=(const TProcessState&) = delete;

private:
  char FSeparator;
  TOscExceptionHandler FHandler;
};

} // namespace

TZelvoCapture::TZelvoCapture(const TZelvoCaptureOptions& Options, std::ostream& Out)
    : FOptions(Options), FOut(Out) {
  ApplySettings();
  if (!FOptions.Spectrum.empty())
    FSpectrum = std::make_unique<TOscSpectrum>(FOptions.Window);
  FExpected = ZelvoSettingsBlock(FDriver);
  FTimeout.setSingleShot(true);
  QObject::connect(&FTimeout, &QTimer::timeout, [this] { OscGuarded([&] { TimedOut(); }); });
  FRecordEnd.setSingleShot(true);
  QObject::connect(&FRecordEnd, &QTimer::timeout, [this] { OscGuarded([&] { RecordingDone(); }); });
  FRecordFlush.setInterval(static_cast<int>(CZelvoRecordingFlushInterval / 1000));
  QObject::connect(&FRecordFlush, &QTimer::timeout, [this] {
    OscGuarded([&] {
      if (FRecorder)
        FRecorder->FlushIfDue();
    });
  });
  FObserver.SetOnConnect([this](TZelvoConnection*) { OscGuarded([&] { LinkConnected(); }); });
  FObserver.SetOnReceive([this](TZelvoConnection*, const TZelvoPacket& Packet) {
    OscGuarded([&] { FrameReceived(Packet); });
  });
}

TZelvoCapture::~TZelvoCapture() {
  FRecorder.reset();
  // Closing a serial link reports its disconnect; nobody listens any more.
  if (FLink) {
    FLink->SetOnError({});
    FLink->SetOnDisconnect({});
    FLink->UnregisterObserver(&FObserver);
    FLink->Close();
    FDriver.SetConnection(nullptr);
    FLink.reset();
  }
}

// Through the model's setters, in the order the program's controls would
// use; the probe stays on this side, as in the program.
void TZelvoCapture::ApplySettings() {
  const TZelvoCaptureOptions& O = FOptions;
  if (O.TimeBase)
    FDriver.SetTimeBase(*O.TimeBase);
  for (int C = 0; C < 2; ++C) {
    TOscSignal& Channel = FDriver.Signals()[C];
    const TZelvoCaptureChannelOptions& Ch = O.Channel[C];
    if (Ch.VoltsPerDivision)
      Channel.SetVoltsPerDivision(*Ch.VoltsPerDivision);
    if (Ch.Coupling)
      Channel.SetCoupling(*Ch.Coupling);
    if (Ch.Probe)
      Channel.SetMultiplier(*Ch.Probe);
    if (Ch.Position)
      Channel.SetYPosition(*Ch.Position);
  }
  TOscTrigger& Trigger = FDriver.Trigger();
  if (O.TriggerChannel)
    Trigger.SetChannel(*O.TriggerChannel);
  if (O.TriggerSlope)
    Trigger.SetSlope(*O.TriggerSlope);
  if (O.TriggerMode)
    Trigger.SetMode(*O.TriggerMode);
  if (O.TriggerLevel)
    Trigger.SetLevel(*O.TriggerLevel);
}

TZelvoCaptureExit TZelvoCapture::Run() {
  TProcessState State(FOptions.DecimalSeparator, [this](std::exception_ptr E) {
    Finish(ceFailure, Translated(OscExceptionMessage(E)));
  });
  FDone = false;
  FExit = ceSuccess;
  FError.clear();
  try {
    if (CreateLink()) {
      if (!FOptions.Record.empty())
        StartRecording();
      FTimeout.start(FOptions.TimeoutMs);
      // The driver sends the settings frame and the sample request when the
      // link comes up: within Open for a serial port, later for TCP.
      if (!FDone)
        FLink->Open();
      if (!FDone)
        FLoop.exec();
    }
  } catch (const EZelvoLinkError& E) {
    const QString Why = Q(Translated(E.what()));
    if (FOptions.Serial.empty())
      Finish(
          ceConnectionFailed,
          TZelvoCaptureText::tr("cannot connect to %1: %2").arg(Q(LinkName()), Why).toStdString());
    else
      Finish(cePortUnavailable,
             TZelvoCaptureText::tr("cannot open the serial port: %1").arg(Why).toStdString());
  } catch (const std::exception& E) {
    Finish(ceFailure, Translated(E.what()));
  }
  FTimeout.stop();
  FRecordEnd.stop();
  FRecordFlush.stop();
  // A recording cut off by a failure keeps what it has; the failure is the
  // one to report.
  if (FRecorder) {
    FRecorder->SetOnError({});
    FRecorder->Stop();
  }
  if (FLink) {
    FLink->SetOnError({});
    FLink->SetOnDisconnect({});
    FLink->Close();
  }
  return FExit;
}

// Before the link opens, so that a file that cannot be written fails at once.
void TZelvoCapture::StartRecording() {
  try {
    FRecorder = std::make_unique<TZelvoRecorder>(*FLink, FOptions.Record);
  } catch (const EOscError& E) {
    Finish(ceFileNotWritable, std::string("cannot write the recording: ") + E.what());
    return;
  }
  // It may fail inside the receive path; ending the run there is all it does.
  FRecorder->SetOnError([this](TZelvoRecorder*, const std::string& Message) {
    Finish(ceFileNotWritable, "cannot write the recording: " + Message);
  });
  FRecordFlush.start();
}

void TZelvoCapture::RecordingDone() {
  if (FDone || !FRecorder)
    return;
  FRecorder->Stop();
  if (!FRecorder->Error().empty())
    return; // its error handler has ended the run
  FOut << FOptions.Record << ": " << FRecorder->Frames() << " frames, " << FRecorder->Bytes()
       << " bytes" << std::endl;
  Finish(ceSuccess);
}

bool TZelvoCapture::CreateLink() {
  if (!FOptions.Serial.empty()) {
    auto Usb = std::make_unique<TZelvoUsbConnection>();
    Usb->SetPort(FOptions.Serial);
    FLink = std::move(Usb);
  } else {
    // The link takes a numeric IPv4 address; a name is looked up here.
    const QString Host = QString::fromStdString(FOptions.Host);
    QHostAddress Address;
    if (!Address.setAddress(Host) || Address.protocol() != QAbstractSocket::IPv4Protocol) {
      const QHostInfo Info = QHostInfo::fromName(Host);
      const QList<QHostAddress> Found = Info.addresses();
      const auto V4 = std::find_if(Found.begin(), Found.end(), [](const QHostAddress& A) {
        return A.protocol() == QAbstractSocket::IPv4Protocol;
      });
      if (V4 == Found.end()) {
        Finish(ceConnectionFailed,
               (Info.error() != QHostInfo::NoError
                    ? TZelvoCaptureText::tr("cannot find an IPv4 address for host %1: %2")
                          .arg(Host, Info.errorString())
                    : TZelvoCaptureText::tr("cannot find an IPv4 address for host %1").arg(Host))
                   .toStdString());
        return false;
      }
      Address = *V4;
    }
    FAddress = Address.toString().toStdString();
    auto Tcp = std::make_unique<TZelvoTcpConnection>();
    Tcp->SetHost(FAddress);
    Tcp->SetPort(FOptions.Port);
    FLink = std::move(Tcp);
  }
  FLink->SetOnError([this](TZelvoConnection*) { OscGuarded([&] { LinkError(); }); });
  FLink->SetOnDisconnect([this](TZelvoConnection*) { OscGuarded([&] { LinkLost(); }); });
  // The driver registers first, so a frame reaches this run's observer only
  // after the driver has put it into the model.
  FDriver.SetConnection(FLink.get());
  FLink->RegisterObserver(&FObserver);
  return true;
}

void TZelvoCapture::LinkConnected() {
  FConnected = true;
  // --seconds count from the link's start; the link timeout no longer applies.
  if (FRecorder) {
    FTimeout.stop();
    FRecordEnd.start(FOptions.RecordMs);
  }
}

void TZelvoCapture::LinkError() {
  if (FDone)
    return;
  QString Why;
  if (auto* Tcp = dynamic_cast<TZelvoTcpConnection*>(FLink.get()))
    Why = Tcp->Client().errorString();
  else if (auto* Usb = dynamic_cast<TZelvoUsbConnection*>(FLink.get()))
    Why = Usb->ComPort().errorString();
  const QString Name = Q(LinkName());
  QString Message;
  if (FConnected)
    Message = Why.isEmpty() ? TZelvoCaptureText::tr("connection to %1 lost").arg(Name)
                            : TZelvoCaptureText::tr("connection to %1 lost: %2").arg(Name, Why);
  else
    Message = Why.isEmpty() ? TZelvoCaptureText::tr("cannot connect to %1").arg(Name)
                            : TZelvoCaptureText::tr("cannot connect to %1: %2").arg(Name, Why);
  Finish(ceConnectionFailed, Message.toStdString());
}

void TZelvoCapture::LinkLost() {
  if (!FDone)
    Finish(ceConnectionFailed,
           TZelvoCaptureText::tr("connection to %1 lost").arg(Q(LinkName())).toStdString());
}

// A capture counts when all its blocks, from sample 0 to the end, carried the
// requested settings: blocks sent before the scope took them, or a capture
// joined in the middle, are passed over.
void TZelvoCapture::FrameReceived(const TZelvoPacket& Packet) {
  if (FDone || FRecorder || Packet.Command() != CScopeSampleDataCommand)
    return;
  const TZelvoSettingsBlock Block = ZelvoReadSettingsBlock(Packet);
  if (!SameSettings(Block, FExpected)) {
    FNextSample = -1;
    return;
  }
  const int From = Block.Offset >> 1;
  const int To = From + std::max(0, Packet.Size() - CZelvoSettingsFrameSize) / 2;
  if (From == 0)
    FNextSample = 0;
  if (From != FNextSample) {
    FNextSample = -1;
    return;
  }
  FNextSample = To;
  if (To == CSampleCount) {
    // The driver has refreshed the readouts for this block already.
    FNextSample = -1;
    CaptureComplete();
  }
}

// Runs inside the link's receive path, before any later frame can overwrite
// the channels.
void TZelvoCapture::CaptureComplete() {
  const std::string Base = BaseName();
  try {
    FDriver.SaveToFile(Base + ".csv");
    FDriver.SaveParametersToFile(Base + ".json");
    if (FSpectrum)
      WriteSpectrum();
  } catch (const EOscError& E) {
    Finish(ceFileNotWritable, TZelvoCaptureText::tr("cannot write the capture: %1")
                                  .arg(Q(Translated(E.what())))
                                  .toStdString());
    return;
  }
  if (FOptions.Count > 1)
    FOut << Base << '\n';
  PrintReadouts();
  ++FWritten;
  if (FWritten == FOptions.Count)
    Finish(ceSuccess);
  else
    FTimeout.start(FOptions.TimeoutMs);
}

// Every kind per channel, the thirteen of the menus first.
void TZelvoCapture::PrintReadouts() {
  for (int C = 0; C < 2; ++C) {
    const TOscMeasurementTexts Texts = FDriver.Signals()[C].Measurement().Texts();
    for (int T = 0; T < COscMeasurementTypeCount; ++T) {
      const auto Type = static_cast<TOscMeasurementType>(T);
      FOut << "CH" << C + 1 << ' '
           << (OscIsTimingType(Type) ? OscTimingTypeName(Type) : CValueTypeNames[T]) << ' '
           << Texts[static_cast<std::size_t>(T)] << '\n';
    }
  }
  FOut.flush();
}

void TZelvoCapture::WriteSpectrum() {
  TOscSpectrumLevels Levels[2];
  for (int C = 0; C < 2; ++C)
    FSpectrum->Compute(FDriver.Signals()[C], Levels[C]);
  OscWriteFile(SpectrumName(), OscSpectrumCsv(Levels[0], Levels[1]));
}

void TZelvoCapture::TimedOut() {
  if (FDone)
    return;
  const QString After = Q(Seconds(FOptions.TimeoutMs));
  const QString Name = Q(LinkName());
  Finish(ceTimeout,
         (FConnected
              ? TZelvoCaptureText::tr("timed out after %1 waiting for a complete capture from %2")
              : TZelvoCaptureText::tr("timed out after %1 waiting for the connection to %2"))
             .arg(After, Name)
             .toStdString());
}

void TZelvoCapture::Finish(TZelvoCaptureExit Code, const std::string& Message) {
  if (FDone)
    return;
  FDone = true;
  FExit = Code;
  FError = Message;
  FTimeout.stop();
  FLoop.quit();
}

std::string TZelvoCapture::LinkName() const {
  if (!FOptions.Serial.empty())
    return FOptions.Serial;
  const std::string Name = FOptions.Host + ":" + std::to_string(FOptions.Port);
  return FAddress.empty() || FAddress == FOptions.Host ? Name : Name + " (" + FAddress + ")";
}

std::string TZelvoCapture::BaseName() const {
  return FOptions.Count == 1 ? FOptions.Out : FOptions.Out + "-" + std::to_string(FWritten + 1);
}

// FILE-N.csv for capture N of several: the number goes before the extension
// of the file's own name.
std::string TZelvoCapture::SpectrumName() const {
  const std::string& File = FOptions.Spectrum;
  if (FOptions.Count == 1)
    return File;
  const std::string Number = "-" + std::to_string(FWritten + 1);
  const std::size_t Slash = File.find_last_of('/');
  const std::size_t NameStart = Slash == std::string::npos ? 0 : Slash + 1;
  const std::size_t Dot = File.find_last_of('.');
  const bool HasExtension = Dot != std::string::npos && Dot > NameStart;
  return HasExtension ? File.substr(0, Dot) + Number + File.substr(Dot) : File + Number;
}

TZelvoCaptureExit ZelvoCaptureRun(const TZelvoCaptureOptions& Options, std::ostream& Out,
                                  std::ostream& Err) {
  TZelvoCaptureExit Code;
  std::string Error;
  try {
    TZelvoCapture Capture(Options, Out);
    Code = Capture.Run();
    Error = Capture.Error();
  } catch (const std::exception& E) {
    Code = ceFailure;
    Error = Translated(E.what());
  }
  if (Code != ceSuccess)
    Err << "zelvo-capture: "
        << (Error.empty() ? TZelvoCaptureText::tr("unknown error").toStdString() : Error)
        << std::endl;
  return Code;
}

int ZelvoCaptureMain(const QStringList& Args, std::ostream& Out, std::ostream& Err) {
  const TZelvoCaptureCommandLine Line = ZelvoCaptureParseCommandLine(Args);
  switch (Line.Action) {
  case TZelvoCaptureCommandLine::caHelp:
    Out << Line.HelpText << std::flush;
    return ceSuccess;
  case TZelvoCaptureCommandLine::caVersion:
    Out << QCoreApplication::applicationName().toStdString() << ' '
        << QCoreApplication::applicationVersion().toStdString() << std::endl;
    return ceSuccess;
  case TZelvoCaptureCommandLine::caError:
    Err << "zelvo-capture: "
        << TZelvoCaptureText::tr("%1 (see --help)").arg(Q(Line.Error)).toStdString() << std::endl;
    return ceBadOptions;
  case TZelvoCaptureCommandLine::caRun:
    break;
  }
  return ZelvoCaptureRun(Line.Options, Out, Err);
}
