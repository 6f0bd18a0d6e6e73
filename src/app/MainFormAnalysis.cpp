// The main window's analysis views: the spectrum below the scope view, the
// math channel's strip and the XY choice, their menu entries, and the user's
// choices kept in the settings store.

#include "app/MainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include "app/ApplicationSettings.h"
#include "app/GuardedConnect.h"
#include "app/MathStrip.h"
#include "display/OscSpectrumView.h"
#include "link/Zelvo.h"
#include "link/qt/ZelvoDemo.h"
#include "osc/OscCapture.h"
#include "osc/OscFormat.h"

namespace {

// The model's window names as lupdate sees them; the menu looks the model's
// own table up under them.
[[maybe_unused]] const char* const CSpectrumWindowNamesForTranslation[COscSpectrumWindowCount] = {
    QT_TRANSLATE_NOOP("TMainForm", "Rectangular"), QT_TRANSLATE_NOOP("TMainForm", "Hann"),
    QT_TRANSLATE_NOOP("TMainForm", "Hamming"), QT_TRANSLATE_NOOP("TMainForm", "Blackman-Harris"),
    QT_TRANSLATE_NOOP("TMainForm", "Flat top")};

} // namespace

TOscMath& TMainForm::MathOf(const TOscDevice* Device) const {
  if (Device == FZelvoDemo.get())
    return *FZelvoDemoMath;
  return Device == FCaptureDevice.get() ? *FCaptureMath : *FZelvoMath;
}

void TMainForm::CreateAnalysisActions() {
  actSpectrum = new QAction(tr("&Spectrum"), this);
  actSpectrum->setCheckable(true);
  // The side bar's button shows the icon text, in capitals like its others.
  actSpectrum->setIconText(tr("SPECTRUM"));
  addAction(actSpectrum);
  actXY = new QAction(tr("&XY"), this);
  actXY->setCheckable(true);
  addAction(actXY);
}

void TMainForm::CreateViewMenu() {
  FViewMenu = menuBar()->addMenu(tr("&View"));
  FViewMenu->addAction(actSpectrum);
  FSpectrumWindowMenu = FViewMenu->addMenu(tr("Spectrum &window"));
  auto* Windows = new QActionGroup(FSpectrumWindowMenu);
  for (int W = 0; W < COscSpectrumWindowCount; ++W) {
    QAction* Item = FSpectrumWindowMenu->addAction(
        QCoreApplication::translate("TMainForm", COscSpectrumWindowNames[W]));
    Item->setData(W);
    Item->setCheckable(true);
    Windows->addAction(Item);
  }
  FViewMenu->addSeparator();
  // The math strip's mode menu comes before XY once the strip exists.
  FViewMenu->addAction(actXY);
}

void TMainForm::WireAnalysis() {
  FViewMenu->insertMenu(actXY, FMathStrip->ModeMenu());
  ConnectGuarded(actSpectrum, &QAction::toggled, this,
                 [this](bool Shown) { FSpectrumView->setVisible(Shown); });
  ConnectGuarded(actSpectrum, &QAction::triggered, this,
                 [this](bool Shown) { actSpectrumExecute(Shown); });
  ConnectGuarded(FSpectrumWindowMenu, &QMenu::triggered, this, [this](QAction* Item) {
    SpectrumWindowChange(static_cast<TOscSpectrumWindow>(Item->data().toInt()));
  });
  ConnectGuarded(actXY, &QAction::triggered, this, [this](bool On) { actXYExecute(On); });
  ConnectGuarded(FMathStrip, &TMathStrip::ModeChosen, this,
                 [this](TOscMathMode Mode) { MathModeChange(Mode); });
  ConnectGuarded(FMathStrip, &TMathStrip::VoltsPerDivisionStepped, this,
                 [this](int Diff) { MathVDivStep(Diff); });
  ConnectGuarded(FMathStrip, &TMathStrip::ValueTypeChosen, this,
                 [this](TOscMeasurementType Type) { MathValueTypeChange(Type); });
}

void TMainForm::LoadAnalysisChoices() {
  const TOscSpectrumWindow Window = FSettings.SpectrumWindow();
  FSpectrumView->SetWindow(Window);
  FSpectrumWindowMenu->actions()[Window]->setChecked(true);
  for (TOscMath* M : {FZelvoMath.get(), FZelvoDemoMath.get(), FCaptureMath.get()}) {
    M->SetMode(FSettings.MathMode());
    M->SetVoltsPerDivision(FSettings.MathVoltsPerDivision());
  }
  Math().Update();
  actXY->setChecked(FSettings.XY());
  // Last: showing the view computes its spectra with the stored window.
  actSpectrum->setChecked(FSettings.SpectrumShown());
  VisualizeSettings();
}

void TMainForm::actSpectrumExecute(bool Shown) {
  FSettings.SetSpectrumShown(Shown);
}

void TMainForm::SpectrumWindowChange(TOscSpectrumWindow Window) {
  FSpectrumView->SetWindow(Window);
  FSettings.SetSpectrumWindow(Window);
}

void TMainForm::MathModeChange(TOscMathMode Mode) {
  for (TOscMath* M : {FZelvoMath.get(), FZelvoDemoMath.get(), FCaptureMath.get()})
    M->SetMode(Mode);
  // The latest capture gives the new result at once; the readout shows it
  // with the next refresh of the values.
  Math().Update();
  VisualizeSettings();
  FSettings.SetMathMode(Mode);
}

void TMainForm::MathVDivStep(int Diff) {
  const auto VDiv = static_cast<TOscVoltsPerDivision>(
      OscLimitValue(vdiv20V, static_cast<int>(Math().VoltsPerDivision()) + Diff, vdiv5mV));
  for (TOscMath* M : {FZelvoMath.get(), FZelvoDemoMath.get(), FCaptureMath.get()})
    M->SetVoltsPerDivision(VDiv);
  VisualizeSettings();
  FSettings.SetMathVoltsPerDivision(VDiv);
}

void TMainForm::MathValueTypeChange(TOscMeasurementType Type) {
  // As a channel's: the text follows the next capture.
  Math().SetValueType(Type);
  VisualizeSettings();
}

void TMainForm::actXYExecute(bool On) {
  FSettings.SetXY(On);
}

void TMainForm::DeviceCaptured(TOscDevice* Device) {
  // A device not shown computes nothing; showing it catches up.
  if (Device != ActiveScope())
    return;
  if (Math().Mode() != mmOff)
    Math().Update();
  FSpectrumView->Refresh();
}
