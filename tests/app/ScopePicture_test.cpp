// Pictures of the scope view: the image is the view's own pixels between a
// band with the caption and the time and a band with the readouts, in both
// drawings; the QPainter drawing also writes SVG; a file that cannot be
// written says so once. Through the window: File › Save picture... and
// Edit › Copy picture.

#include "KeepTestSupport.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <QWindow>

#include "app/FileDialogs.h"
#include "app/ScopePicture.h"
#include "display/OscRenderer3D.h"
#include "display/OscScopeView.h"
#include "display/OscScopeViewFactory.h"

namespace {

enum class TDrawing { OpenGL, Software };

std::string DrawingName(const ::testing::TestParamInfo<TDrawing>& Info) {
  return Info.param == TDrawing::OpenGL ? "OpenGL" : "Software";
}

// A still capture: channel 1 a ramp, channel 2 a square.
TOscCapture StillCapture() {
  TOscCapture C;
  for (int Ch = 0; Ch < 2; ++Ch) {
    C.Channels[Ch].Fill = CSampleCount;
    for (int I = 0; I < CSampleCount; ++I)
      C.Channels[Ch].Samples[I] =
          static_cast<TOscSample>(Ch == 0 ? 40 + I % 170 : (I / 100 % 2 ? 90 : 170));
  }
  return C;
}

TPictureTexts Texts() {
  TPictureTexts T;
  T.Caption = "Zelvo v1.3.0.0 - Quillon";
  T.Time = QDateTime(QDate(2026, 12, 10), QTime(18, 9, 25));
  T.Readouts[0] = QStringList{"CH1", "DC", "1V/div", "Vpp", "2.34V"};
  T.Readouts[1] = QStringList{"CH2", "AC", "500mV/div", "Freq", "1.00kHz"};
  T.TimeBase = "1ms/div";
  return T;
}

int CountNear(const QImage& Image, const QColor& Color, int Tolerance = 60) {
  int N = 0;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X) {
      const QColor P = Image.pixelColor(X, Y);
      N += std::abs(P.red() - Color.red()) + std::abs(P.green() - Color.green()) +
               std::abs(P.blue() - Color.blue()) <=
           Tolerance;
    }
  return N;
}

// A view of either drawing on screen, showing the still capture.
class ScopePictureTest : public ::testing::TestWithParam<TDrawing> {
protected:
  void SetUp() override {
    TestApp();
    View.reset(OscCreateScopeView(nullptr, GetParam() == TDrawing::OpenGL ? TOscDrawing::Automatic
                                                                          : TOscDrawing::Software));
    ASSERT_EQ(View->SoftwareDrawing(), GetParam() == TDrawing::Software);
    Device.Load(StillCapture());
    View->SetOscilloscope(&Device);
    View->resize(697, 449);
    View->show();
    auto* GL = dynamic_cast<TOscRenderer3D*>(View.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(GL != nullptr ? GL->DeviceContext()
                                                           : View->window()->windowHandle()));
    Picture = std::make_unique<TScopePicture>(*View, Folder, View.get());
  }
  void TearDown() override {
    Picture.reset();
    View.reset();
    QCoreApplication::processEvents();
  }

  QColor TraceColor(int Channel) const {
    const TOscColor C = View->Skin().TraceColors().Color(Channel).Color();
    return QColor(OscRed(C), OscGreen(C), OscBlue(C));
  }

  QTemporaryDir Dir;
  TFileFolder Folder;
  TOscCaptureDevice Device;
  std::unique_ptr<TOscScopeView> View;
  std::unique_ptr<TScopePicture> Picture;
};

} // namespace

TEST_P(ScopePictureTest, ImageIsTheViewsPixelsBetweenTwoBands) {
  const QImage Image = Picture->Image(Texts());
  const int Band = Picture->BandHeight();
  ASSERT_GT(Band, 10);
  ASSERT_EQ(Image.size(), QSize(697, 449 + 2 * Band));
  const QImage Shown = View->GrabFramebuffer().convertToFormat(QImage::Format_RGB32);
  const QImage Middle = Image.copy(0, Band, 697, 449).convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(Middle == Shown);
  // The view's own picture, not a blank: both traces in their colours.
  EXPECT_GT(CountNear(Middle, TraceColor(0)), 300);
  EXPECT_GT(CountNear(Middle, TraceColor(1)), 300);
  // Text on the view's background in both bands; channel 2's readout in its
  // trace colour below.
  const QImage Top = Image.copy(0, 0, 697, Band), Bottom = Image.copy(0, Band + 449, 697, Band);
  EXPECT_GT(CountNear(Top, QColor(0xD0, 0xD0, 0xD0), 90), 50);
  EXPECT_GT(CountNear(Bottom, TraceColor(1), 90), 50);
  EXPECT_GT(CountNear(Top, Qt::black, 0), 697 * Band / 2);
}

TEST_P(ScopePictureTest, SavesPngAndSvgWhereTheDrawingAllows) {
  TModalScript Script;
  QStringList Seen;
  Script.Otherwise(RecordAndClose(Seen));
  const QString Png = Dir.filePath("view.png");
  ASSERT_TRUE(Picture->SaveTo(Png, Texts()));
  EXPECT_TRUE(QImage(Png).convertToFormat(QImage::Format_RGB32) ==
              Picture->Image(Texts()).convertToFormat(QImage::Format_RGB32));

  const QString Svg = Dir.filePath("view.svg");
  ASSERT_EQ(Picture->CanSaveSvg(), GetParam() == TDrawing::Software);
  if (!Picture->CanSaveSvg()) {
    EXPECT_FALSE(Picture->SaveTo(Svg, Texts()));
    EXPECT_FALSE(QFile::exists(Svg));
    ASSERT_EQ(Seen.size(), 1);
    EXPECT_TRUE(Seen[0].contains(Svg)) << Seen[0].toStdString();
    return;
  }
  ASSERT_TRUE(Picture->SaveTo(Svg, Texts()));
  EXPECT_TRUE(Seen.isEmpty()) << Seen.join("; ").toStdString();
  QSvgRenderer Renderer(Svg);
  ASSERT_TRUE(Renderer.isValid());
  EXPECT_EQ(Renderer.viewBox(), QRect(0, 0, 697, 449 + 2 * Picture->BandHeight()));
  QFile File(Svg);
  ASSERT_TRUE(File.open(QIODevice::ReadOnly));
  const QString Text = QString::fromUtf8(File.readAll());
  for (const char* Part : {"Zelvo v1.3.0.0 - Quillon", "2026-12-10 18:09:25", "2.34V", "500mV/div",
                           "1.00kHz", "1ms/div"})
    EXPECT_TRUE(Text.contains(QString::fromUtf8(Part))) << Part;
  // The traces are drawn into it, below the top band.
  QImage Rendered(Renderer.viewBox().size(), QImage::Format_RGB32);
  Rendered.fill(Qt::white);
  QPainter Painter(&Rendered);
  Renderer.render(&Painter);
  Painter.end();
  const QImage Middle = Rendered.copy(0, Picture->BandHeight(), 697, 449);
  EXPECT_GT(CountNear(Middle, TraceColor(0)), 300);
  EXPECT_GT(CountNear(Middle, TraceColor(1)), 300);
}

TEST_P(ScopePictureTest, AFileThatCannotBeWrittenGivesOneMessageNamingIt) {
  TModalScript Script;
  QStringList Seen;
  Script.Otherwise(RecordAndClose(Seen));
  // A folder where the file should be: no program may write it, root neither.
  const QString Blocked = Dir.filePath("taken.png");
  ASSERT_TRUE(QDir(Dir.path()).mkdir("taken.png"));
  EXPECT_FALSE(Picture->SaveTo(Blocked, Texts()));
  ASSERT_EQ(Seen.size(), 1);
  EXPECT_TRUE(Seen[0].startsWith("Error: ")) << Seen[0].toStdString();
  EXPECT_TRUE(Seen[0].contains(Blocked)) << Seen[0].toStdString();
  EXPECT_TRUE(QFileInfo(Blocked).isDir());
}

INSTANTIATE_TEST_SUITE_P(BothDrawings, ScopePictureTest,
                         ::testing::Values(TDrawing::OpenGL, TDrawing::Software), DrawingName);

namespace {

class PictureWindowTest : public AppTest {
protected:
  void SetUp() override {
    AppTest::SetUp();
    // A still capture, so that two frames are the same picture.
    Main().CaptureDevice().Load(StillCapture());
    Main().SetActiveScope(&Main().CaptureDevice());
    Main().tmrValuesTimer();
  }
};

} // namespace

TEST_F(PictureWindowTest, SavePictureWritesTheViewWithTheWindowsTexts) {
  const TPictureTexts T = Main().PictureTexts();
  EXPECT_EQ(T.Caption, Main().windowTitle());
  for (int C = 0; C < 2; ++C) {
    const TChannelStrip& S = Main().Strip(C);
    EXPECT_EQ(T.Readouts[C].value(0), QString("CH%1").arg(C + 1));
    EXPECT_TRUE(T.Readouts[C].contains(S.pnlVDiv()->text()));
    EXPECT_EQ(T.Readouts[C].last(), S.lblValue()->text());
  }
  EXPECT_EQ(T.TimeBase, Main().SideBar().pnlTimeBaseValue()->text());

  const QString File = Dir.filePath("window.png");
  TModalScript Script;
  QStringList Seen;
  Script.Then(ChooseFile(File)).Otherwise(RecordAndClose(Seen));
  Main().actSavePicture->trigger();
  EXPECT_TRUE(Seen.isEmpty()) << Seen.join("; ").toStdString();
  const QImage Saved(File);
  const TOscScopeView& View = Main().OscRenderer3D();
  EXPECT_EQ(Saved.size(), QSize(View.width(), View.height() + 2 * Main().Picture().BandHeight()));
}

TEST_F(PictureWindowTest, CopyPicturePutsTheImageOnTheClipboard) {
  QGuiApplication::clipboard()->clear();
  Main().actCopyPicture->trigger();
  const QImage Copied = QGuiApplication::clipboard()->image();
  const TOscScopeView& View = Main().OscRenderer3D();
  EXPECT_EQ(Copied.size(), QSize(View.width(), View.height() + 2 * Main().Picture().BandHeight()));
  EXPECT_TRUE(Copied.copy(0, Main().Picture().BandHeight(), View.width(), View.height())
                  .convertToFormat(QImage::Format_RGB32) ==
              Main().OscRenderer3D().GrabFramebuffer().convertToFormat(QImage::Format_RGB32));
}
