#include "app/ConfigDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/ApplicationSettings.h"
#include "app/DialogButtons.h"
#include "osc/OscErrorBoundary.h"

TConfigDialog::TConfigDialog(TApplicationSettings& Settings, QWidget* Parent)
    : TFixedDialog(QSize(409, 473), Parent), FSettings(Settings) {
  setWindowTitle(tr("ConfigDialog"));

  auto* Pages = new QTabWidget(this);
  auto* General = new QWidget;
  Pages->addTab(General, tr("&General"));

  auto* Rendering = new QGroupBox(tr("Rendering"), General);
  auto* LimitLabel = new QLabel(tr("Limit framerate:"), Rendering);
  txtMaxFps = new QSpinBox(Rendering);
  txtMaxFps->setObjectName(QStringLiteral("txtMaxFps"));
  txtMaxFps->setRange(0, 75);
  LimitLabel->setBuddy(txtMaxFps);
  auto* Unit = new QLabel(tr("fps"), Rendering);
  auto* NoLimit = new QLabel(tr("(0 = no limit)"), Rendering);

  auto* Grid = new QGridLayout(Rendering);
  Grid->addWidget(LimitLabel, 0, 0);
  Grid->addWidget(txtMaxFps, 0, 1);
  Grid->addWidget(Unit, 0, 2);
  Grid->addWidget(NoLimit, 1, 1, 1, 2);
  Grid->setColumnStretch(3, 1);

  auto* PageLayout = new QVBoxLayout(General);
  PageLayout->addWidget(Rendering);
  PageLayout->addStretch(1);

  const TOkCancelButtons Buttons = LayOutWithOkCancel(this, Pages);
  btnOK = Buttons.Ok;
  btnCancel = Buttons.Cancel;

  LoadPreferences();
  FitToLayout();
}

void TConfigDialog::LoadPreferences() {
  // The spin box clamps a stored value outside 0..75 to its range.
  txtMaxFps->setValue(FSettings.MaxFps());
}

void TConfigDialog::SavePreferences() {
  FSettings.SetMaxFps(txtMaxFps->value());
}

void TConfigDialog::done(int Result) {
  if (Result == Accepted)
    OscGuarded([this] { SavePreferences(); });
  QDialog::done(Result);
}
