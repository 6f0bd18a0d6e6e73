#include "app/DialogButtons.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "osc/OscErrorBoundary.h"

TOkCancelButtons LayOutWithOkCancel(QDialog* Dialog, QWidget* Body) {
  TOkCancelButtons B;
  B.Ok = new QPushButton(QCoreApplication::translate("DialogButtons", "&OK"), Dialog);
  B.Ok->setObjectName(QStringLiteral("btnOK"));
  B.Ok->setDefault(true);
  B.Cancel = new QPushButton(QCoreApplication::translate("DialogButtons", "&Cancel"), Dialog);
  B.Cancel->setObjectName(QStringLiteral("btnCancel"));
  QObject::connect(B.Ok, &QPushButton::clicked, Dialog,
                   [Dialog] { OscGuarded([Dialog] { Dialog->accept(); }); });
  QObject::connect(B.Cancel, &QPushButton::clicked, Dialog,
                   [Dialog] { OscGuarded([Dialog] { Dialog->reject(); }); });

  auto* Buttons = new QHBoxLayout;
  Buttons->addStretch(1);
  Buttons->addWidget(B.Ok);
  Buttons->addWidget(B.Cancel);
  auto* Column = new QVBoxLayout(Dialog);
  Column->addWidget(Body, 1);
  Column->addLayout(Buttons);
  return B;
}
