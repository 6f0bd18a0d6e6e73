// File › Open capture... through the real window: an exported capture comes
// back with the same samples, settings and readouts, frozen; a file that is
// not such a pair changes nothing and says where it is wrong.

#include "KeepTestSupport.h"

#include <QAction>
#include <QCommandLineParser>
#include <QFile>
#include <QLabel>
#include <QMenu>

#include <fstream>

#include "app/Analysis.h"
#include "app/MathStrip.h"
#include "app/ReferenceControl.h"
#include "app/StartConnection.h"
#include "display/OscScopeView.h"
#include "display/OscSpectrumView.h"
#include "link/Zelvo.h"
#include "link/ZelvoMemoryConnection.h"
#include "link/qt/ZelvoDemo.h"
#include "link/qt/ZelvoUsbConnection.h"

namespace {

// The scope driver shown, holding one capture of known samples and settings.
class CaptureOpenTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    Main().Zelvo().SetConnection(&Link);
    Main().SetActiveScope(&Main().Zelvo());
    Main().btnZoomClick(1, multX10);
    for (const TBytes& Frame : CaptureFrames(0))
      Link.Feed(Frame);
  }
  void TearDown() override {
    Main().Zelvo().SetConnection(static_cast<TZelvoConnection*>(&Main().ZelvoUsbConnection()));
    AppTest::TearDown();
  }

  QStringList Run(QAction* Action, const QString& Name) {
    return TriggerChoosingFile(Action, Name);
  }
  // Every readout of the window, each channel's value types as set.
  QStringList Readouts() {
    Main().SetValueType1(TOscMeasurementType::Vpkpk);
    Main().SetValueType2(TOscMeasurementType::Freq);
    Main().tmrValuesTimer();
    QStringList R;
    for (int C = 0; C < 2; ++C)
      R << Main().Strip(C).lblValue()->text() << Main().Strip(C).pnlVDiv()->text()
        << Main().Strip(C).lblMeasurement()->text() << Main().SpectrumView().PeakText(C);
    R << Main().SideBar().pnlTimeBaseValue()->text() << Main().SideBar().lblTimeSpan()->text()
      << Main().MathStrip().lblValue()->text();
    return R;
  }
  TOscCapture Shown() { return OscCaptureOf(*Main().ActiveScope()); }
  QString LinkPanel() { return Main().StatusPanel(3)->text(); }
  static std::string Read(const QString& Path) {
    std::ifstream F(QFile::encodeName(Path).toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(F), std::istreambuf_iterator<char>()};
  }
  static void Write(const QString& Path, const std::string& Bytes) {
    std::ofstream(QFile::encodeName(Path).toStdString(), std::ios::binary) << Bytes;
  }

  TZelvoMemoryConnection Link;
};

} // namespace

TEST_F(CaptureOpenTest, ExportThenOpenShowsTheSameCapture) {
  Main().Analysis().MathModeChange(mmSubtract);
  Main().Analysis().actSpectrum->trigger();
  ASSERT_EQ(Run(Main().actExport, Dir.filePath("run.csv")).size(), 1);
  const TOscCapture Exported = Shown();
  const QStringList ExportedReadouts = Readouts();
  ASSERT_NE(ExportedReadouts[0], "-");

  Main().actConnectDemo->trigger();
  EXPECT_EQ(Run(Main().actOpenCapture, Dir.filePath("run.csv")), QStringList());
  ASSERT_EQ(Main().ActiveScope(), &Main().CaptureDevice());
  EXPECT_EQ(Describe(Shown()), Describe(Exported));
  EXPECT_EQ(Readouts(), ExportedReadouts);
  EXPECT_TRUE(Main().pnlCapture()->isVisible());
  EXPECT_TRUE(Main().pnlCapture()->text().contains("run.csv"))
      << Main().pnlCapture()->text().toStdString();
  EXPECT_FALSE(Main().pnlDemoMode()->isVisible());
  EXPECT_EQ(LinkPanel(), "Capture file");
  // A capture can be exported again.
  Main().UpdateActions();
  EXPECT_TRUE(Main().actExport->isEnabled());

  // Demo leaves it; opening the parameters file opens the pair as well.
  Main().actConnectDemo->trigger();
  EXPECT_FALSE(Main().pnlCapture()->isVisible());
  EXPECT_EQ(Run(Main().actOpenCapture, Dir.filePath("run.json")), QStringList());
  EXPECT_EQ(Describe(Shown()), Describe(Exported));
}

// The panel shows the capture's settings and refuses to change them: its
// controls are disabled, what the scroll bars still report goes nowhere, and
// the trigger level cannot be dragged. The readouts' value types stay a choice.
TEST_F(CaptureOpenTest, TheFrozenPanelChangesNothing) {
  ASSERT_EQ(Run(Main().actExport, Dir.filePath("run.csv")).size(), 1);
  ASSERT_EQ(Run(Main().actOpenCapture, Dir.filePath("run.csv")), QStringList());
  const TOscCapture Opened = Shown();
  EXPECT_TRUE(Main().Frozen());

  ClickEverySetting(Main());
  EXPECT_EQ(Describe(Shown()), Describe(Opened));
  EXPECT_FALSE(Main().Strip(0).btnAC()->isEnabled());
  EXPECT_FALSE(Main().SideBar().btnHold()->isEnabled());
  EXPECT_FALSE(Main().OscRenderer3D().TriggerMarker().Options().Contains(oscDraggable));
  EXPECT_TRUE(Main().Strip(0).cbValueType()->isEnabled());
  Main().ValueTypeMenu(0)->actions()[static_cast<int>(TOscMeasurementType::Vrms)]->trigger();
  EXPECT_EQ(Main().ValueType1(), TOscMeasurementType::Vrms);

  // The driver's panel takes clicks again.
  Main().SetActiveScope(&Main().Zelvo());
  Main().VisualizeSettings();
  EXPECT_FALSE(Main().Frozen());
  EXPECT_TRUE(Main().Strip(0).btnAC()->isEnabled());
  EXPECT_TRUE(Main().OscRenderer3D().TriggerMarker().Options().Contains(oscDraggable));
  Link.ClearSent();
  Click(Main().SideBar().btnHold());
  EXPECT_EQ(Link.SentFrames().size(), 1u);
}

// View › Keep as reference copies the capture shown; the copy is drawn on
// through a change of device and a new capture, until Clear reference.
TEST_F(CaptureOpenTest, TheReferenceOutlivesTheDeviceItCameFrom) {
  TReferenceControl& Reference = Main().Reference();
  TOscScopeView& View = Main().OscRenderer3D();
  EXPECT_FALSE(Reference.actClearReference->isEnabled());
  const TOscCapture Kept = Shown();
  Reference.actKeepReference->trigger();
  ASSERT_NE(View.Reference(), nullptr);
  EXPECT_EQ(Describe(*View.Reference()), Describe(Kept));
  EXPECT_TRUE(Reference.actClearReference->isEnabled());

  // The demo shown, then a new capture of the driver: the reference stays.
  Main().actConnectDemo->trigger();
  View.GrabFramebuffer();
  EXPECT_EQ(View.ReferenceTraces().Count(), 2);
  Main().SetActiveScope(&Main().Zelvo());
  for (const TBytes& Frame : CaptureFrames(1))
    Link.Feed(Frame);
  View.GrabFramebuffer();
  ASSERT_NE(View.Reference(), nullptr);
  EXPECT_EQ(Describe(*View.Reference()), Describe(Kept));
  EXPECT_EQ(View.ReferenceTraces().Count(), 2);

  Reference.actClearReference->trigger();
  EXPECT_EQ(View.Reference(), nullptr);
  View.GrabFramebuffer();
  EXPECT_EQ(View.ReferenceTraces().Count(), 0);
  EXPECT_FALSE(Reference.actClearReference->isEnabled());
}

// Each file that is not such a pair brings one message naming the file and
// the line, and the capture shown stays as it was.
TEST_F(CaptureOpenTest, ABadPairShowsOneMessageAndChangesNothing) {
  ASSERT_EQ(Run(Main().actExport, Dir.filePath("run.csv")).size(), 1);
  const std::string Samples = Read(Dir.filePath("run.csv"));
  const std::string Parameters = Read(Dir.filePath("run.json"));
  auto Line = [&](int N) { // the offset of line N (from 1) of the samples
    std::size_t At = 0;
    for (int I = 1; I < N; ++I)
      At = Samples.find('\n', At) + 1;
    return At;
  };
  auto Replaced = [](std::string Text, const std::string& From, const std::string& To) {
    return Text.replace(Text.find(From), From.size(), To);
  };
  struct TCase {
    const char* Name;
    std::string Samples, Parameters; // no parameters file when empty
    QString Says;                    // after the file's name
  };
  const TCase Cases[] = {
      {"three columns", std::string(Samples).insert(Line(3), "1.00;"), Parameters,
       "\", line 3: 3 values in"},
      {"cut short", Samples.substr(0, Line(101)), Parameters,
       "\", line 101: the file ends after 100 lines"},
      {"not a number", std::string(Samples).replace(Line(7), 1, "x"), Parameters,
       "\", line 7: \"x"},
      {"no parameters file", Samples, "", "\". "},
      {"another capture's parameters", Samples, Replaced(Parameters, "\"1V/div\"", "\"2V/div\""),
       "\", line "},
  };

  ASSERT_EQ(Run(Main().actOpenCapture, Dir.filePath("run.csv")), QStringList());
  const TOscCapture Opened = Shown();
  const QString Banner = Main().pnlCapture()->text();
  int N = 0;
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    const QString Base = Dir.filePath(QString("bad%1").arg(++N));
    Write(Base + ".csv", C.Samples);
    if (!C.Parameters.empty())
      Write(Base + ".json", C.Parameters);
    const QStringList Seen = Run(Main().actOpenCapture, Base + ".csv");
    ASSERT_EQ(Seen.size(), 1) << Seen.join('|').toStdString();
    const QString Named = C.Parameters.empty() ? Base + ".json" : Base + ".csv";
    EXPECT_TRUE(Seen[0].startsWith("Error: ")) << Seen[0].toStdString();
    EXPECT_TRUE(Seen[0].contains("\"" + Named + C.Says)) << Seen[0].toStdString();
    EXPECT_EQ(Main().ActiveScope(), &Main().CaptureDevice());
    EXPECT_EQ(Describe(Shown()), Describe(Opened));
    EXPECT_EQ(Main().pnlCapture()->text(), Banner);
  }

  // Over the demo device, too, nothing changes.
  Main().actConnectDemo->trigger();
  EXPECT_EQ(Run(Main().actOpenCapture, Dir.filePath("bad1.csv")).size(), 1);
  EXPECT_EQ(Main().ActiveScope(), &Main().ZelvoDemo());
  EXPECT_FALSE(Main().pnlCapture()->isVisible());
}

// zelvo FILE, as the desktop entry starts it: the capture shows once the
// window is up.
TEST_F(CaptureOpenTest, AFileOnTheCommandLineIsShown) {
  ASSERT_EQ(Run(Main().actExport, Dir.filePath("run.csv")).size(), 1);
  Main().actConnectDemo->trigger();
  QCommandLineParser Parser;
  AddStartConnectionOptions(Parser);
  ASSERT_TRUE(Parser.parse({"zelvo", Dir.filePath("run.csv")}));
  QString Error;
  StartConnectionLater(Main(), ReadStartConnection(Parser, Error));
  EXPECT_TRUE(Error.isEmpty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return Main().pnlCapture()->isVisible(); }, 5000));
  EXPECT_EQ(Main().ActiveScope(), &Main().CaptureDevice());
}
