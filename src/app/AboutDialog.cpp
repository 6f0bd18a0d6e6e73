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
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      FInfo(Info) {
  setWindowTitle(QStringLiteral("About"));

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

  btnOK = new QPushButton(QStringLiteral("&OK"), this);
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

  // Larger only where a font or a translation needs the room.
  setFixedSize(sizeHint().expandedTo(QSize(210, 145)));
  btnOK->setFocus();
  UpdateVersionInfo();
}

void TAboutDialog::UpdateVersionInfo() {
  lblProductName->setText(FInfo.ProductName());
  lblCopyright->setText(FInfo.LegalCopyright());
  lblFileVersion->setText(QStringLiteral("Version %1").arg(FInfo.FileVersion()));
}

void TAboutDialog::setVisible(bool Visible) {
  // Centred on the parent at every showing, as the dialog is reused.
  if (Visible)
    setAttribute(Qt::WA_Moved, false);
  QDialog::setVisible(Visible);
}
