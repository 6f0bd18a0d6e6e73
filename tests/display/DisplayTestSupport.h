#pragma once

// Shared set-up of the display tests: one application object, a test device,
// a shown view of either drawing (OpenGL with its platform checked, or
// QPainter), real mouse events for the window that receives them, and pixel
// helpers for the frames the view draws.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QTest>
#include <QWindow>

#include <GL/gl.h>

#include "display/OscPainterRenderer.h"
#include "display/OscRenderer3D.h"
#include "osc/OscDevice.h"

inline QApplication& TestApp() {
  static int Argc = 1;
  static char Name[] = "zelvo-display-test";
  static char* Argv[] = {Name, nullptr};
  // Reachable through the static for the whole run, so not a leak.
  static QApplication* App = new QApplication(Argc, Argv);
  return *App;
}

class TTestDevice : public TOscDevice {
public:
  TTestDevice() { CreateSignals(2); }
  void TransmitSettings() override { ++Transmits; }
  int Transmits = 0;

  TOscSignal& Channel(int I) { return Signals().Signal(I); }
  // Stores samples silently, as the scope driver does.
  void Fill(int Channel, int Value, int From = 0, int To = CSampleCount) {
    for (int I = From; I < To; ++I)
      Signals().Signal(Channel).SetSample(I, Value);
  }
};

enum class TDrawing { OpenGL, Software };

inline std::string DrawingName(const ::testing::TestParamInfo<TDrawing>& Info) {
  return Info.param == TDrawing::OpenGL ? "OpenGL" : "Software";
}

inline void PrintTo(TDrawing Drawing, std::ostream* Out) {
  *Out << (Drawing == TDrawing::OpenGL ? "OpenGL" : "Software");
}

// A new view of the drawing. The OpenGL one is made directly, not through
// the fallback: a test of it without a real context would prove nothing.
inline std::unique_ptr<TOscScopeView> MakeView(TDrawing Drawing, QWidget* Parent = nullptr) {
  if (Drawing == TDrawing::OpenGL)
    return std::make_unique<TOscRenderer3D>(Parent);
  return std::make_unique<TOscPainterRenderer>(Parent);
}

// The window that receives the view's mouse and keys: the OpenGL drawing's
// native child window, or the view widget itself.
inline QObject* InputTarget(TOscScopeView& View) {
  if (auto* GL = dynamic_cast<TOscRenderer3D*>(&View))
    return GL->DeviceContext();
  return &View;
}

inline QWindow* InputWindow(TOscScopeView& View) {
  if (auto* GL = dynamic_cast<TOscRenderer3D*>(&View))
    return GL->DeviceContext();
  return View.window()->windowHandle();
}

// The cursor the user sees over the view.
inline Qt::CursorShape ShownCursor(TOscScopeView& View) {
  if (auto* GL = dynamic_cast<TOscRenderer3D*>(&View))
    return GL->DeviceContext()->cursor().shape();
  return View.cursor().shape();
}

// A view of the main window's scope area, on screen, in each drawing; the
// OpenGL one with its platform verified.
class ViewTest : public ::testing::TestWithParam<TDrawing> {
protected:
  void SetUp() override {
    TestApp();
    try {
      View = MakeView(GetParam());
    } catch (const std::exception& E) {
      FAIL() << "no OpenGL platform: " << E.what();
    }
    View->resize(697, 449);
    View->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(InputWindow(*View)));
    if (auto* GL = dynamic_cast<TOscRenderer3D*>(View.get())) {
      ASSERT_NE(GL->RenderingContext(), nullptr);
      ASSERT_TRUE(GL->RenderingContext()->makeCurrent(GL->DeviceContext()));
      ASSERT_NE(glGetString(GL_RENDERER), nullptr);
    }
  }
  void TearDown() override {
    View.reset();
    QCoreApplication::processEvents();
  }

  // Real mouse events, delivered as the window system would.
  void Mouse(QEvent::Type Type, int X, int Y, Qt::MouseButton Button, Qt::MouseButtons Buttons) {
    const QPointF Local(X, Y);
    QMouseEvent E(Type, Local, Local, View->mapToGlobal(Local), Button, Buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(InputTarget(*View), &E);
  }
  void Press(int X, int Y, Qt::MouseButton B = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonPress, X, Y, B, B);
  }
  void Move(int X, int Y, Qt::MouseButtons Held = Qt::NoButton) {
    Mouse(QEvent::MouseMove, X, Y, Qt::NoButton, Held);
  }
  void Release(int X, int Y, Qt::MouseButton B = Qt::LeftButton) {
    Mouse(QEvent::MouseButtonRelease, X, Y, B, Qt::NoButton);
  }

  // The client pixel nearest to a grid point by the view's projection.
  int PixelX(double GridX) const {
    const int P = View->Padding();
    return static_cast<int>(
        std::lround(P + (GridX + 1) * (View->width() - 2 * P) / View->SamplesPerPage()));
  }
  int PixelY(double GridY) const {
    const int P = View->Padding();
    return static_cast<int>(std::lround(P + (GridY + 1) * (View->height() - 2 * P) / 256.0));
  }

  std::unique_ptr<TOscScopeView> View;
};

inline int ColorDistance(QRgb A, TOscColor B) {
  return std::abs(qRed(A) - OscRed(B)) + std::abs(qGreen(A) - OscGreen(B)) +
         std::abs(qBlue(A) - OscBlue(B));
}

// Smoothed lines cover pixels partly: over the black background their pixels
// are the colour scaled down. Whether P is such a shade (at least a third).
inline bool IsShadeOf(QRgb P, TOscColor C) {
  const double Sum = qRed(P) + qGreen(P) + qBlue(P);
  const double CSum = OscRed(C) + OscGreen(C) + OscBlue(C);
  if (CSum <= 0 || Sum < CSum / 3)
    return false;
  const double S = Sum / CSum;
  return std::abs(qRed(P) - S * OscRed(C)) + std::abs(qGreen(P) - S * OscGreen(C)) +
             std::abs(qBlue(P) - S * OscBlue(C)) <=
         40;
}

inline bool ShadeNear(const QImage& Image, int X, int Y, TOscColor Color, int Radius = 2) {
  for (int Dy = -Radius; Dy <= Radius; ++Dy)
    for (int Dx = -Radius; Dx <= Radius; ++Dx) {
      const int PX = X + Dx, PY = Y + Dy;
      if (PX >= 0 && PY >= 0 && PX < Image.width() && PY < Image.height() &&
          IsShadeOf(Image.pixel(PX, PY), Color))
        return true;
    }
  return false;
}

inline int CountShade(const QImage& Image, TOscColor Color) {
  int N = 0;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X)
      N += IsShadeOf(Image.pixel(X, Y), Color);
  return N;
}

// Whether a pixel of the colour lies within Radius of (X, Y).
inline bool ColorNear(const QImage& Image, int X, int Y, TOscColor Color, int Radius = 2,
                      int Tolerance = 90) {
  for (int Dy = -Radius; Dy <= Radius; ++Dy)
    for (int Dx = -Radius; Dx <= Radius; ++Dx) {
      const int PX = X + Dx, PY = Y + Dy;
      if (PX >= 0 && PY >= 0 && PX < Image.width() && PY < Image.height() &&
          ColorDistance(Image.pixel(PX, PY), Color) <= Tolerance)
        return true;
    }
  return false;
}

// Pixels of the colour in the whole image.
inline int CountColor(const QImage& Image, TOscColor Color, int Tolerance = 90) {
  int N = 0;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X)
      if (ColorDistance(Image.pixel(X, Y), Color) <= Tolerance)
        ++N;
  return N;
}
