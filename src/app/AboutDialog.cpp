#include "app/AboutDialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/VersionInfo.h"
#include "osc/OscErrorBoundary.h"

namespace {

QLabel* NewInfoLabel(const char* Name, QWidget* Parent) {
  auto* Label = new QLabel(QStringLiteral("-"), Parent);
  Label->setObjectName(QLatin1String(Name));
  Label->setAlignment(Qt::AlignCenter);
  return Label;
}

} // namespace

TAboutDialog::TAboutDialog(const TVersionInfo& Info, QWidget* Parent)
    : TFixedDialog(QSize(210, 145), Parent), FInfo(Info) {
  setWindowTitle(tr("About"));

  auto* Box = new QGroupBox(this);
  lblProductName = NewInfoLabel("lblProductName", Box);
  lblCopyright = NewInfoLabel("lblCopyright", Box);
  lblFileVersion = NewInfoLabel("lblFileVersion", Box);
  QLabel* License = NewInfoLabel("lblLicense", Box);
  License->setText(tr("License: GNU GPL v3 or later"));
  QFont Title = lblProductName->font();
  Title.setBold(true);
  lblProductName->setFont(Title);
  auto* BoxLayout = new QVBoxLayout(Box);
  BoxLayout->addWidget(lblProductName);
  BoxLayout->addWidget(lblCopyright);
  BoxLayout->addWidget(lblFileVersion);
  BoxLayout->addWidget(License);

  btnOK = new QPushButton(tr("&OK"), this);
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnOK->setDefault(true);
  connect(btnOK, &QPushButton::clicked, this, [this] { OscGuarded([this] { accept(); }); });
  auto* Buttons = new QHBoxLayout;
  Buttons->addStretch(1);
  Buttons->addWidget(btnOK);
  Buttons->addStretch(1);

  auto* Layout = new QVBoxLayout(this);
  Layout->addWidget(Box, 1);
  Layout->addLayout(Buttons);

  btnOK->setFocus();
  UpdateVersionInfo();
  FitToLayout();
}

void TAboutDialog::UpdateVersionInfo() {
  lblProductName->setText(FInfo.ProductName());
  lblCopyright->setText(FInfo.LegalCopyright());
  lblFileVersion->setText(tr("Version %1").arg(FInfo.FileVersion()));
}
