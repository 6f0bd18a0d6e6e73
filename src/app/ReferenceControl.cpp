#include "app/ReferenceControl.h"

#include <QAction>

#include "app/GuardedConnect.h"
#include "display/OscScopeView.h"

TReferenceControl::TReferenceControl(TOscScopeView& View, QObject* Parent)
    : QObject(Parent), FView(View) {
  actKeepReference = new QAction(tr("&Keep as reference"), this);
  actClearReference = new QAction(tr("&Clear reference"), this);
  ConnectGuarded(actKeepReference, &QAction::triggered, this, [this] { Keep(); });
  ConnectGuarded(actClearReference, &QAction::triggered, this, [this] { Clear(); });
  UpdateActions();
}

TReferenceControl::~TReferenceControl() = default;

void TReferenceControl::Keep() {
  const TOscDevice* Device = FView.Oscilloscope();
  if (Device == nullptr)
    return;
  const TOscCapture Kept = OscCaptureOf(*Device);
  FView.SetReference(&Kept);
  UpdateActions();
  emit Changed();
}

void TReferenceControl::Clear() {
  if (FView.Reference() == nullptr)
    return;
  FView.SetReference(nullptr);
  UpdateActions();
  emit Changed();
}

const TOscCapture* TReferenceControl::Reference() const {
  return FView.Reference();
}

void TReferenceControl::UpdateActions() {
  actKeepReference->setEnabled(FView.Oscilloscope() != nullptr);
  actClearReference->setEnabled(FView.Reference() != nullptr);
}
