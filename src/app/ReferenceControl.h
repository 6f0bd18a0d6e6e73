#pragma once

// View › Keep as reference copies the capture the scope view shows (live,
// opened from a file or replayed) and keeps it until View › Clear reference,
// so that today's signal can be held against it. The copy belongs to no
// device: a reconnect, another link or another device shown leave it as it
// is. The view keeps it and draws it behind the live traces.

#include <QObject>

#include "osc/OscCapture.h"

class QAction;
class TOscScopeView;

class TReferenceControl : public QObject {
  Q_OBJECT

public:
  // View must outlive the control.
  TReferenceControl(TOscScopeView& View, QObject* Parent = nullptr);
  ~TReferenceControl() override;

  // "Keep as reference": enabled while the view shows a device.
  QAction* actKeepReference;
  // "Clear reference": enabled while a reference is kept.
  QAction* actClearReference;

  // Copies what the view's device shows now; nothing without a device.
  void Keep();
  void Clear();
  // The kept capture, or null.
  const TOscCapture* Reference() const;

  // The enable rules of the two actions; the window calls it when the device
  // shown changes.
  void UpdateActions();

signals:
  // A reference was kept or cleared.
  void Changed();

private:
  TOscScopeView& FView;
};
