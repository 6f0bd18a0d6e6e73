#pragma once

// The main window's status bar: the frame rate, the voltage of each channel
// under the mouse, and what the link is doing.

#include <QStatusBar>

class QLabel;

class TScopeStatusBar : public QStatusBar {
  Q_OBJECT

public:
  enum TPanel { FrameRate, HoverCH1, HoverCH2, Link, PanelCount };

  explicit TScopeStatusBar(QWidget* Parent);

  QLabel* Panel(int Index) const { return FPanels[Index]; }

  void ShowFrameRate(int FramesPerSecond);
  // Channel 0 or 1; the voltage with the user's decimal separator.
  void ShowHover(int Channel, double Voltage);
  // Trouble shows in orange; the text says what it is.
  void ShowLink(const QString& Text, bool Trouble);
  // Says, once, on the link panel's tooltip, that the view is drawn without
  // OpenGL (none could be had).
  void ShowSoftwareDrawing(bool Software);

private:
  QLabel* FPanels[PanelCount] = {};
};
