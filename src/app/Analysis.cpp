#include "app/Analysis.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>

#include "app/ApplicationSettings.h"
#include "app/GuardedConnect.h"
#include "app/MathStrip.h"
#include "display/OscScopeView.h"
#include "display/OscSpectrumView.h"
#include "osc/OscDevice.h"
#include "osc/OscFormat.h"

namespace {

// The model's window names as lupdate sees them; the menu looks the model's
// own table up under them.
[[maybe_unused]] const char* const CSpectrumWindowNamesForTranslation[COscSpectrumWindowCount] = {
    QT_TRANSLATE_NOOP("TAnalysis", "Rectangular"), QT_TRANSLATE_NOOP("TAnalysis", "Hann"),
    QT_TRANSLATE_NOOP("TAnalysis", "Hamming"), QT_TRANSLATE_NOOP("TAnalysis", "Blackman-Harris"),
    QT_TRANSLATE_NOOP("TAnalysis", "Flat top")};

} // namespace

TAnalysis::TAnalysis(TApplicationSettings& Settings, const std::vector<TOscDevice*>& Devices,
                     QObject* Parent)
    : QObject(Parent), FSettings(Settings), FDevices(Devices) {
  for (TOscDevice* Device : Devices) {
    FMaths.push_back(std::make_unique<TOscMath>(Device));
    Device->SetOnCapture([this](TOscDevice* Sender) { DeviceCaptured(Sender); });
  }
  actSpectrum = new QAction(tr("&Spectrum"), this);
  actSpectrum->setCheckable(true);
  // The side bar's button shows the icon text, in capitals like its others.
  actSpectrum->setIconText(tr("SPECTRUM"));
  actXY = new QAction(tr("&XY"), this);
  actXY->setCheckable(true);
}

TAnalysis::~TAnalysis() {
  for (TOscDevice* Device : FDevices)
    Device->SetOnCapture(nullptr);
  if (FScopeView != nullptr)
    FScopeView->SetMath(nullptr);
}

void TAnalysis::Attach(TOscScopeView& ScopeView, TOscSpectrumView& SpectrumView,
                       TMathStrip& MathStrip, QMenu& ViewMenu) {
  FScopeView = &ScopeView;
  FSpectrumView = &SpectrumView;
  FMathStrip = &MathStrip;

  ViewMenu.addAction(actSpectrum);
  FSpectrumWindowMenu = ViewMenu.addMenu(tr("Spectrum &window"));
  auto* Windows = new QActionGroup(FSpectrumWindowMenu);
  for (int W = 0; W < COscSpectrumWindowCount; ++W) {
    QAction* Item = FSpectrumWindowMenu->addAction(
        QCoreApplication::translate("TAnalysis", COscSpectrumWindowNames[W]));
    Item->setData(W);
    Item->setCheckable(true);
    Windows->addAction(Item);
  }
  ViewMenu.addSeparator();
  ViewMenu.addMenu(MathStrip.ModeMenu());
  ViewMenu.addAction(actXY);

  ConnectGuarded(actSpectrum, &QAction::toggled, this,
                 [this](bool Shown) { FSpectrumView->setVisible(Shown); });
  ConnectGuarded(actSpectrum, &QAction::triggered, this,
                 [this](bool Shown) { actSpectrumExecute(Shown); });
  ConnectGuarded(FSpectrumWindowMenu, &QMenu::triggered, this, [this](QAction* Item) {
    SpectrumWindowChange(static_cast<TOscSpectrumWindow>(Item->data().toInt()));
  });
  ConnectGuarded(actXY, &QAction::toggled, this, [this](bool On) { FScopeView->SetXY(On); });
  ConnectGuarded(actXY, &QAction::triggered, this, [this](bool On) { actXYExecute(On); });
  ConnectGuarded(&MathStrip, &TMathStrip::ModeChosen, this,
                 [this](TOscMathMode Mode) { MathModeChange(Mode); });
  ConnectGuarded(&MathStrip, &TMathStrip::VoltsPerDivisionStepped, this,
                 [this](int Diff) { MathVDivStep(Diff); });
  ConnectGuarded(&MathStrip, &TMathStrip::ValueTypeChosen, this,
                 [this](TOscMeasurementType Type) { MathValueTypeChange(Type); });
}

void TAnalysis::LoadChoices() {
  const TOscSpectrumWindow Window = FSettings.SpectrumWindow();
  FSpectrumView->SetWindow(Window);
  FSpectrumWindowMenu->actions()[Window]->setChecked(true);
  for (const auto& M : FMaths) {
    M->SetMode(FSettings.MathMode());
    M->SetVoltsPerDivision(FSettings.MathVoltsPerDivision());
  }
  Math().Update();
  actXY->setChecked(FSettings.XY());
  // Last: showing the view computes its spectra with the stored window.
  actSpectrum->setChecked(FSettings.SpectrumShown());
  FMathStrip->Visualize(Math());
}

void TAnalysis::ShowDevice(TOscDevice* Device) {
  FShown = Device;
  FSpectrumView->SetOscilloscope(Device);
  FScopeView->SetMath(Device != nullptr ? &MathOf(Device) : nullptr);
  if (Device != nullptr && Math().Mode() != mmOff)
    Math().Update();
  FMathStrip->Visualize(Math());
}

void TAnalysis::ShowValue() {
  FMathStrip->ShowValue(QString::fromStdString(Math().Readout()));
}

TOscMath& TAnalysis::MathOf(const TOscDevice* Device) const {
  for (const auto& M : FMaths)
    if (M->Device() == Device)
      return *M;
  return *FMaths.front();
}

void TAnalysis::actSpectrumExecute(bool Shown) {
  FSettings.SetSpectrumShown(Shown);
}

void TAnalysis::SpectrumWindowChange(TOscSpectrumWindow Window) {
  FSpectrumView->SetWindow(Window);
  FSettings.SetSpectrumWindow(Window);
}

void TAnalysis::MathModeChange(TOscMathMode Mode) {
  for (const auto& M : FMaths)
    M->SetMode(Mode);
  // The latest capture gives the new result at once; the readout shows it
  // with the next refresh of the values.
  Math().Update();
  FMathStrip->Visualize(Math());
  FSettings.SetMathMode(Mode);
}

void TAnalysis::MathVDivStep(int Diff) {
  const auto VDiv = static_cast<TOscVoltsPerDivision>(
      OscLimitValue(vdiv20V, static_cast<int>(Math().VoltsPerDivision()) + Diff, vdiv5mV));
  for (const auto& M : FMaths)
    M->SetVoltsPerDivision(VDiv);
  FMathStrip->Visualize(Math());
  FSettings.SetMathVoltsPerDivision(VDiv);
}

void TAnalysis::MathValueTypeChange(TOscMeasurementType Type) {
  // As a channel's: the text follows the next capture.
  Math().SetValueType(Type);
  FMathStrip->Visualize(Math());
}

void TAnalysis::actXYExecute(bool On) {
  FSettings.SetXY(On);
}

void TAnalysis::DeviceCaptured(TOscDevice* Device) {
  // A device not shown computes nothing; showing it catches up.
  if (Device != FShown)
    return;
  if (Math().Mode() != mmOff)
    Math().Update();
  FSpectrumView->Refresh();
}
