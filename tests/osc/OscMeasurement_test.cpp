#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "osc/OscDevice.h"
#include "osc/OscFormat.h"
#include "osc/OscMeasurement.h"

namespace {

using Type = TOscMeasurementType;

class TTestDevice : public TOscDevice {
public:
  TTestDevice() { CreateSignals(2); }
};

const Type AllTypes[] = {Type::Vdc,   Type::Vmin,   Type::Vmax,   Type::Vpkpk, Type::Vrms,
                         Type::Vtrms, Type::dBm,    Type::dBgain, Type::Wrms2, Type::Wrms4,
                         Type::Wrms8, Type::Wrms16, Type::Wrms32};

// Channels at 10 V/div, probe x1 (0.4 V per sample step), zero line 128.
class MeasurementTest : public ::testing::Test {
public:
  TOscSignal& Channel(int Idx) { return Device.Signals()[Idx]; }

  // Sample I holds YPosition - Steps(I): Steps is the voltage in sample steps.
  void Fill(int Idx, const std::function<int(int)>& Steps) {
    TOscSignal& C = Channel(Idx);
    for (int I = 0; I < C.Count(); ++I)
      C.SetSample(I, C.YPosition() - Steps(I));
  }
  void FillSquare(int Idx, int Steps) {
    Fill(Idx, [Steps](int I) { return I % 2 == 0 ? Steps : -Steps; });
  }

  std::string Readout(int Idx, Type T) {
    Channel(Idx).Measurement().SetValueType(T);
    Device.UpdateMeasurements();
    return Channel(Idx).Measurement().ToString();
  }

  // The texts the straightforward measurement functions give.
  std::string Expected(int Idx, Type T) {
    TOscSignal& S = Channel(Idx);
    if (S.IsOverTuned() || !S.Visible() || S.VoltsPerDivision() == vdivNone)
      return CInvalidValue;
    switch (T) {
    case Type::Vdc:
      return OscVoltageToStr(S.Vdc());
    case Type::Vmin:
      return OscVoltageToStr(S.Vmin());
    case Type::Vmax:
      return OscVoltageToStr(S.Vmax());
    case Type::Vpkpk:
      return OscVoltageToStr(S.Vpkpk());
    case Type::Vrms:
      return OscVoltageToStr(S.Vrms());
    case Type::Vtrms:
      return OscVoltageToStr(S.Vtrms());
    case Type::dBm:
      return S.Vrms() == 0 ? CInvalidValue : OscDecibelToStr(S.dBm());
    case Type::dBgain:
      return Channel(0).Vrms() == 0 || Channel(1).Vrms() == 0 ? CInvalidValue
                                                              : OscDecibelToStr(Device.dBgain());
    case Type::Wrms2:
      return OscWattsToStr(S.Wrms2());
    case Type::Wrms4:
      return OscWattsToStr(S.Wrms4());
    case Type::Wrms8:
      return OscWattsToStr(S.Wrms8());
    case Type::Wrms16:
      return OscWattsToStr(S.Wrms16());
    case Type::Wrms32:
      return OscWattsToStr(S.Wrms32());
    default:
      return CInvalidValue;
    }
  }

  TTestDevice Device;
};

TEST_F(MeasurementTest, FreshReadoutReadsInvalid) {
  EXPECT_EQ(Channel(0).Measurement().ToString(), "-");
  EXPECT_EQ(Channel(0).Measurement().ValueType(), Type::Vdc);
  EXPECT_EQ(Channel(0).Measurement().Signal(), &Channel(0));
}

TEST_F(MeasurementTest, SamplesOnTheZeroLineReadZero) {
  Fill(0, [](int) { return 0; });
  Fill(1, [](int) { return 0; });
  const struct {
    Type T;
    const char* Text;
  } Cases[] = {{Type::Vdc, "0.00µV"},   {Type::Vmin, "0.00µV"}, {Type::Vmax, "0.00µV"},
               {Type::Vpkpk, "0.00µV"}, {Type::Vrms, "0.00µV"}, {Type::Vtrms, "0.00µV"},
               {Type::dBm, "-"},        {Type::dBgain, "-"},    {Type::Wrms2, "0µW"},
               {Type::Wrms32, "0µW"}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.T));
    EXPECT_EQ(Readout(0, C.T), C.Text);
  }
  // Unguarded, the level of no signal at all is minus infinity.
  EXPECT_EQ(Channel(0).dBm(), -std::numeric_limits<double>::infinity());
}

// A steady level off the zero line has no AC part at all: not a rounding
// residue that would read as a tiny voltage and a level of -244 dB.
TEST_F(MeasurementTest, FlatSignalOffTheZeroLineHasNoAcPart) {
  const struct {
    TOscVoltsPerDivision Scale;
    TOscMultiplier Probe;
    int YPosition;
    int Steps;
    const char* Vdc;
  } Cases[] = {{vdiv10V, multX1, 128, 7, "2.80V"},
               {vdiv10V, multX1, 128, -100, "-40.00V"},
               {vdiv500mV, multX10, 30, -3, "-600.00mV"},
               {vdiv5mV, multX1, 200, 61, "12.20mV"},
               {vdiv200mV, multX1, 128, 1, "8.00mV"}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Vdc);
    // A change of scale erases both channels: set both up before filling.
    for (int Idx = 0; Idx < 2; ++Idx) {
      Channel(Idx).SetVoltsPerDivision(C.Scale);
      Channel(Idx).SetMultiplier(C.Probe);
      Channel(Idx).SetYPosition(C.YPosition);
    }
    for (int Idx = 0; Idx < 2; ++Idx)
      Fill(Idx, [&C](int) { return C.Steps; });
    EXPECT_EQ(Channel(0).Vrms(), 0.0);
    EXPECT_EQ(Channel(0).Vpkpk(), 0.0);
    EXPECT_EQ(Readout(0, Type::Vdc), C.Vdc);
    EXPECT_EQ(Readout(0, Type::Vtrms), OscVoltageToStr(std::fabs(Channel(0).Vdc())));
    EXPECT_EQ(Readout(0, Type::Vrms), "0.00µV");
    EXPECT_EQ(Readout(0, Type::dBm), "-");
    EXPECT_EQ(Readout(0, Type::dBgain), "-");
    EXPECT_EQ(Readout(0, Type::Wrms8), "0µW");
  }
}

TEST_F(MeasurementTest, SquareWaveReadsItsWorkedValues) {
  FillSquare(0, 50); // +-20 V
  EXPECT_NEAR(Channel(0).dBm(), 28.235, 0.001);
  const struct {
    Type T;
    const char* Text;
  } Cases[] = {{Type::Vmax, "20.00V"}, {Type::Vmin, "-20.00V"}, {Type::Vpkpk, "40.00V"},
               {Type::Vdc, "0.00µV"},  {Type::Vrms, "20.00V"},  {Type::Vtrms, "20.00V"},
               {Type::dBm, "28.2dB"},  {Type::Wrms2, "200W"},   {Type::Wrms4, "100W"},
               {Type::Wrms8, "50W"},   {Type::Wrms16, "25W"},   {Type::Wrms32, "12.5W"}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.T));
    EXPECT_EQ(Readout(0, C.T), C.Text);
  }
}

TEST_F(MeasurementTest, AcRmsExcludesTheDcLevelAndTrueRmsKeepsIt) {
  const double Pi = std::acos(-1.0);
  // 25 steps (10 V) of DC under a 50-step sine over whole periods.
  Fill(0,
       [Pi](int I) { return 25 + static_cast<int>(std::lround(50 * std::sin(2 * Pi * I / 64))); });
  const TOscSignal& S = Channel(0);
  EXPECT_NEAR(S.Vdc(), 10, 1e-9);
  EXPECT_NEAR(S.Vrms(), 20 / std::sqrt(2.0), 0.05);
  EXPECT_NEAR(S.Vtrms() * S.Vtrms(), S.Vrms() * S.Vrms() + 100, 1e-6);
  EXPECT_EQ(Readout(0, Type::Vdc), "10.00V");
  EXPECT_EQ(Readout(0, Type::Vrms), OscVoltageToStr(S.Vrms()));
  EXPECT_EQ(Readout(0, Type::Vtrms), OscVoltageToStr(S.Vtrms()));
}

TEST_F(MeasurementTest, MaximumResetsAtTwoThousandVolts) {
  // 8 V per step at 20 V/div with a x10 probe; the zero line far below keeps
  // every sample on screen (3..252) while reaching 2000 V and more.
  Channel(0).SetVoltsPerDivision(vdiv20V);
  Channel(0).SetMultiplier(multX10);
  Channel(0).SetYPosition(300);
  const int Last = CSampleCount - 1;
  const struct {
    const char* Name;
    std::function<int(int)> Steps; // volts / 8
    const char* Vmax;
    const char* Vpkpk;
  } Cases[] = {
      {"below the limit", [](int) { return 249; }, "1.99kV", "0.00µV"},
      {"later lower sample stands",
       [](int I) { return I == 0   ? 50
                          : I == 1 ? 250
                          : I == 2 ? 49
                                   : 48; }, "392.00V", "8.00V"},
      {"reset then rising again", [](int I) { return I == 0 ? 297 : 249; }, "1.99kV", "0.00µV"},
      {"nothing after the reset", [Last](int I) { return I == Last ? 250 : 48; }, "0.00µV",
       "-384.00V"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Fill(0, C.Steps);
    EXPECT_EQ(Readout(0, Type::Vmax), C.Vmax);
    EXPECT_EQ(Readout(0, Type::Vpkpk), C.Vpkpk);
    EXPECT_EQ(OscVoltageToStr(Channel(0).Vmax()), C.Vmax);
  }
}

TEST_F(MeasurementTest, UnshowableChannelsReadInvalidForEveryKind) {
  const struct {
    const char* Name;
    std::function<void(TOscSignal&)> Setup;
  } Cases[] = {
      {"hidden", [](TOscSignal& S) { S.SetVisible(false); }},
      {"switched off", [](TOscSignal& S) { S.SetVoltsPerDivision(vdivNone); }},
      {"over-driven low", [](TOscSignal& S) { S.SetSample(100, 2); }},
      {"over-driven high", [](TOscSignal& S) { S.SetSample(4095, 253); }},
      {"empty buffer", [](TOscSignal& S) { S.SetSize(0); }},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TTestDevice Fresh;
    TOscSignal& S = Fresh.Signals()[0];
    for (int I = 0; I < S.Count(); ++I)
      Fresh.Signals()[1].SetSample(I, I % 2 == 0 ? 100 : 150);
    for (int I = 0; I < S.Count(); ++I)
      S.SetSample(I, I % 2 == 0 ? 110 : 140);
    C.Setup(S);
    for (int T = 0; T < COscMeasurementTypeCount; ++T) {
      SCOPED_TRACE(T);
      S.Measurement().SetValueType(static_cast<Type>(T));
      Fresh.UpdateMeasurements();
      EXPECT_EQ(S.Measurement().ToString(), "-");
    }
    for (const std::string& Text : S.Measurement().Texts())
      EXPECT_EQ(Text, "-");
  }
}

TEST_F(MeasurementTest, OnlyFilledSamplesCountAsOverDriven) {
  // Samples 3 and 252 are the limits; unfilled zeros beyond Fill are measured
  // but never make the channel over-driven.
  Channel(0).SetSample(0, 3);
  Channel(0).SetSample(1, 252);
  EXPECT_EQ(Readout(0, Type::Vmax), "51.20V");
  EXPECT_EQ(Readout(0, Type::Vmin), "-49.60V");
  Channel(0).SetSize(1); // fill now lies beyond the buffer
  EXPECT_EQ(Readout(0, Type::Vmin), "50.00V");
}

TEST_F(MeasurementTest, GainComparesChannelTwoWithChannelOne) {
  FillSquare(0, 25);
  FillSquare(1, 50);
  EXPECT_EQ(Readout(0, Type::dBgain), "6dB");
  EXPECT_EQ(Readout(1, Type::dBgain), "6dB");
  EXPECT_NEAR(Device.dBgain(), 6.02, 0.005);
  // Only the measured channel's own state is checked.
  Channel(1).SetVisible(false);
  EXPECT_EQ(Readout(0, Type::dBgain), "6dB");
  EXPECT_EQ(Readout(1, Type::dBgain), "-");
  // A silent channel has no level to compare.
  Fill(1, [](int) { return 0; });
  EXPECT_EQ(Readout(0, Type::dBgain), "-");
}

TEST_F(MeasurementTest, ChangingTheKindKeepsTheTextUntilTheNextUpdate) {
  FillSquare(0, 50);
  EXPECT_EQ(Readout(0, Type::Vmax), "20.00V");
  Channel(0).Measurement().SetValueType(Type::Vmin);
  EXPECT_EQ(Channel(0).Measurement().ToString(), "20.00V");
  Channel(0).Measurement().Update();
  EXPECT_EQ(Channel(0).Measurement().ToString(), "-20.00V");
}

TEST_F(MeasurementTest, ReadoutsWithoutATwoChannelDeviceReadInvalid) {
  TOscSignal Lone(nullptr, 16);
  Lone.Measurement().SetValueType(Type::dBgain);
  Lone.Measurement().Update();
  EXPECT_EQ(Lone.Measurement().ToString(), "-");
  Lone.Measurement().SetValueType(Type::Vdc);
  Lone.Measurement().Update();
  EXPECT_EQ(Lone.Measurement().ToString(), "51.20V");
}

// The readouts share their sums; they must read exactly as the separate
// functions do, also where a value lies on a rounding boundary of its text.
TEST_F(MeasurementTest, ReadoutsMatchTheMeasurementFunctions) {
  std::mt19937 Random(42);
  auto Check = [&](const char* Name) {
    for (Type T : AllTypes) {
      SCOPED_TRACE(Name);
      SCOPED_TRACE(static_cast<int>(T));
      EXPECT_EQ(Readout(0, T), Expected(0, T));
      EXPECT_EQ(Readout(1, T), Expected(1, T));
    }
  };
  // 2016 of 4096 samples one step up: Vdc is exactly -196.875 mV.
  Fill(0, [](int I) { return I < 2016 ? -1 : 0; });
  Fill(1, [](int I) { return I < 32 ? 1 : 0; }); // exactly 3.125 mV
  Check("half-way means");
  Fill(0, [](int) { return 7; });
  Fill(1, [](int I) { return I % 2 - 40; });
  Check("flat and nearly flat");
  const TOscVoltsPerDivision Scales[] = {vdiv20V, vdiv4V, vdiv500mV, vdiv25mV, vdiv5mV};
  for (int Round = 0; Round < 60; ++Round) {
    for (int Idx = 0; Idx < 2; ++Idx) {
      TOscSignal& S = Channel(Idx);
      S.SetVoltsPerDivision(Scales[Random() % 5]);
      S.SetMultiplier(Random() % 2 == 0 ? multX1 : multX10);
      S.SetYPosition(static_cast<int>(Random() % 256));
      const int Low = static_cast<int>(Random() % 128) + 3;
      const int Span = static_cast<int>(Random() % 125) + 1;
      for (int I = 0; I < S.Count(); ++I)
        S.SetSample(I, Low + static_cast<int>(Random() % static_cast<unsigned>(Span)));
    }
    Check("random");
  }
}

} // namespace
