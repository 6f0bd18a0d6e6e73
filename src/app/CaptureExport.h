#pragma once

// The Export action's flow: a save dialog proposing a dated name, then the
// samples and parameters files under the chosen base name, and a box saying
// how it went. The dialog starts where the program's file dialogs start
// (TFileFolder), which an export moves to its own folder.

#include <QObject>
#include <QString>

class QWidget;
class TFileFolder;
class TOscDevice;

class TCaptureExport : public QObject {
  Q_OBJECT

public:
  // Folder must outlive the export.
  explicit TCaptureExport(TFileFolder& Folder, QObject* Parent = nullptr);

  // Runs the whole flow for Device, modal to Window. Errors are shown, not
  // raised.
  void Execute(TOscDevice& Device, QWidget* Window);

private:
  TFileFolder& FFolder;
};
