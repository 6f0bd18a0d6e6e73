#pragma once

// Shared set-up of the display tests: one application object, a test device,
// a shown view whose OpenGL platform has been checked, real mouse events for
// its native window, and pixel helpers for frames read back before the swap.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QTest>
#include <QWindow>

#include <GL/gl.h>

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

// A view of the main window's scope area, on screen, with its GL platform
// verified: a pass without a real context would prove nothing.
class ViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    TestApp();
    try {
      View = std::make_unique<TOscRenderer3D>();
    } catch (const std::exception& E) {
      FAIL() << "no OpenGL platform: " << E.what();
    }
    View->resize(697, 449);
    View->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(View->DeviceContext()));
    ASSERT_NE(View->RenderingContext(), nullptr);
    ASSERT_TRUE(View->RenderingContext()->makeCurrent(View->DeviceContext()));
    ASSERT_NE(glGetString(GL_RENDERER), nullptr);
    GLint Stencil = 0;
    glGetIntegerv(GL_STENCIL_BITS, &Stencil);
    ASSERT_GE(Stencil, 8);
  }
  void TearDown() override {
    View.reset();
    QCoreApplication::processEvents();
  }

  // Real mouse events, delivered to the native window as the window system
  // would.
  void Mouse(QEvent::Type Type, int X, int Y, Qt::MouseButton Button, Qt::MouseButtons Buttons) {
    QWindow* W = View->DeviceContext();
    const QPointF Local(X, Y);
    QMouseEvent E(Type, Local, Local, W->mapToGlobal(Local), Button, Buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(W, &E);
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

  std::unique_ptr<TOscRenderer3D> View;
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
