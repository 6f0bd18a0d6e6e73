#pragma once

// One run of zelvo-capture: the scope driver on a TCP or serial link, set up
// from the options before the link comes up (so that the one settings frame
// the driver sends on connect carries them), then the first complete
// capture(s) taken with those settings written as the program exports them,
// with every channel's readouts printed; or, with --record, every frame
// received for a while written to a recording. It runs its own event loop, so
// tests can run it in-process beside the simulator.

#include <QEventLoop>
#include <QTimer>

#include <memory>
#include <ostream>
#include <string>

#include "capture/ZelvoCaptureOptions.h"
#include "link/Zelvo.h"
#include "link/ZelvoFrames.h"
#include "link/ZelvoRecorder.h"
#include "osc/OscSpectrum.h"

class TZelvoCapture {
public:
  // Out receives the readouts; it must outlive the run.
  TZelvoCapture(const TZelvoCaptureOptions& Options, std::ostream& Out);
  ~TZelvoCapture();
  TZelvoCapture(const TZelvoCapture&) = delete;
  TZelvoCapture& operator=(const TZelvoCapture&) = delete;

  // Connects, captures and writes; returns when done or failed. The decimal
  // separator of the options is in force only during the call.
  TZelvoCaptureExit Run();
  // One line naming the cause of a failure; empty on success.
  const std::string& Error() const { return FError; }

private:
  void ApplySettings();
  // Creates and attaches the link; false when it failed already.
  bool CreateLink();
  void LinkConnected();
  void LinkError();
  void LinkLost();
  void FrameReceived(const TZelvoPacket& Packet);
  void CaptureComplete();
  void StartRecording();
  void RecordingDone();
  void PrintReadouts();
  void WriteSpectrum();
  void TimedOut();
  void Finish(TZelvoCaptureExit Code, const std::string& Message = {});
  std::string LinkName() const;
  std::string BaseName() const;
  std::string SpectrumName() const;

  TZelvoCaptureOptions FOptions;
  std::ostream& FOut;
  TZelvo FDriver;
  // The settings the options ask for, as the scope reports them back.
  TZelvoSettingsBlock FExpected;
  std::string FAddress; // the resolved IPv4 address of --host
  std::unique_ptr<TZelvoConnection> FLink;
  TZelvoConnectionObserver FObserver;
  // Made only when the spectra are asked for: its plan is made once and
  // serves every capture.
  std::unique_ptr<TOscSpectrum> FSpectrum;
  std::unique_ptr<TZelvoRecorder> FRecorder;
  QEventLoop FLoop;
  QTimer FTimeout;
  QTimer FRecordEnd;
  QTimer FRecordFlush;
  bool FConnected = false;
  bool FDone = false;
  TZelvoCaptureExit FExit = ceSuccess;
  std::string FError;
  // The sample the current capture's next block must start at; -1 while
  // waiting for a capture to start with the settings in force.
  int FNextSample = -1;
  int FWritten = 0;
};

// Runs one capture session as the program does: the readouts go to Out, a
// failure to Err as one line "zelvo-capture: CAUSE". Returns the exit code.
TZelvoCaptureExit ZelvoCaptureRun(const TZelvoCaptureOptions& Options, std::ostream& Out,
                                  std::ostream& Err);

// The whole program after QCoreApplication exists: parses Args (program name
// first), then runs. --help and --version go to Out.
int ZelvoCaptureMain(const QStringList& Args, std::ostream& Out, std::ostream& Err);
