#pragma once

// Shared by the tests of opened captures, recordings and replays: a file
// dialog answered with a name, a device's whole state as text, clicks on every
// control that changes a setting, and the frames of a capture.

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QScrollBar>
#include <QToolButton>

#include <sstream>
#include <string>
#include <vector>

#include "AppTestSupport.h"
#include "ModalScript.h"
#include "link/ZelvoFrames.h"
#include "osc/OscCapture.h"

using TBytes = std::vector<std::uint8_t>;

// Chooses Name in the file dialog the step meets, and accepts it.
inline TModalScript::TStep ChooseFile(const QString& Name) {
  return [Name](QWidget* Modal) {
    auto* Dialog = qobject_cast<QFileDialog*>(Modal);
    ASSERT_NE(Dialog, nullptr) << ModalText(Modal).toStdString();
    Dialog->selectFile(Name);
    static_cast<QDialog*>(Dialog)->accept();
  };
}

// Triggers Action, chooses Name in its file dialog; the messages shown after.
inline QStringList TriggerChoosingFile(QAction* Action, const QString& Name) {
  QStringList Seen;
  TModalScript Script;
  Script.Then(ChooseFile(Name)).Otherwise(RecordAndClose(Seen));
  Action->trigger();
  return Seen;
}

// Settings and samples of a capture, as text that a failed comparison shows.
inline std::string Describe(const TOscCapture& C) {
  std::ostringstream S;
  S << "time base " << C.TimeBase << ", trigger " << C.TriggerChannel << "/" << C.TriggerSlope
    << "/" << C.TriggerMode << " at " << C.TriggerLevel << ", hold " << C.Hold << ", auto "
    << C.AutoRange;
  for (const TOscChannelCapture& Ch : C.Channels) {
    S << "; coupling " << Ch.Coupling << ", vdiv " << Ch.VoltsPerDivision << ", y " << Ch.YPosition
      << ", probe " << Ch.Multiplier << ", shown " << Ch.Visible << ", fill " << Ch.Fill
      << ", samples";
    for (TOscSample V : Ch.Samples)
      S << ' ' << int(V);
  }
  return S.str();
}

// Clicks every front-panel control that changes a device's settings, and
// moves both scroll bars as Visualize moves them.
inline void ClickEverySetting(const TMainForm& Main) {
  auto Click = [](QToolButton* B) { QTest::mouseClick(B, Qt::LeftButton); };
  for (int Channel = 0; Channel < 2; ++Channel) {
    const TChannelStrip& S = Main.Strip(Channel);
    for (QToolButton* B :
         {S.btnAC(), S.btnDC(), S.btnGND(), S.btnZoom(), S.btnVDivInc(), S.btnVDivDec()})
      Click(B);
    S.scrollYPosition()->setValue(S.scrollYPosition()->value() ^ 1);
  }
  const TSideBar& Bar = Main.SideBar();
  for (QToolButton* B :
       {Bar.btnTimebaseInc(), Bar.btnTimebaseDec(), Bar.btnTriggerCh1(), Bar.btnTriggerCh2(),
        Bar.btnSlopeRising(), Bar.btnSlopeFalling(), Bar.btnRun(), Bar.btnNormal(), Bar.btnSingle(),
        Bar.btnHold(), Bar.btnAutoRange()})
    Click(B);
}

// The eight sample frames of one capture, whose samples depend on Seed:
// channel 1 a ramp, channel 2 a square, both with known settings.
inline std::vector<TBytes> CaptureFrames(int Seed) {
  std::vector<TBytes> Frames;
  for (int K = 0; K < 8; ++K) {
    TZelvoSettingsBlock Block;
    Block.Offset = static_cast<std::uint16_t>(2 * 512 * K);
    Block.Coupling[0] = inDC;
    Block.Coupling[1] = inAC;
    Block.VoltsPerDivision[0] = vdiv1V;
    Block.VoltsPerDivision[1] = vdiv2V;
    Block.YPosition[0] = 120;
    Block.YPosition[1] = 136;
    Block.TimeBase = tb1ms;
    Block.Level = 100;
    Block.Flags = static_cast<std::uint8_t>(tmNormal | CZelvoFlagFalling | CZelvoFlagChannel1);
    Block.Status = CZelvoBatteryCodeFull;
    TBytes Pairs(1024);
    for (int I = 0; I < 512; ++I) {
      const int Index = 512 * K + I;
      Pairs[2 * I] = static_cast<std::uint8_t>(60 + (Index + Seed) % 128);
      Pairs[2 * I + 1] = static_cast<std::uint8_t>((Index / 64 + Seed) % 2 == 0 ? 90 : 170);
    }
    TZelvoPacket P = ZelvoSampleFrame(Block, Pairs.data(), 512);
    P.Finalize();
    Frames.emplace_back(P.Raw(), P.Raw() + P.Size());
  }
  return Frames;
}
