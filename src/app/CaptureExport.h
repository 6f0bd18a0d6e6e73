#pragma once

// The Export action's flow: a save dialog proposing a dated name, then the
// samples and parameters files under the chosen base name, and a box saying
// how it went. The dialog starts in the user's documents folder (the home
// folder where there is none), and after an export in that export's folder
// for the rest of the run: the program's own folder is no place to write.

#include <QObject>
#include <QString>

class QWidget;
class TOscDevice;

class TCaptureExport : public QObject {
  Q_OBJECT

public:
  explicit TCaptureExport(QObject* Parent = nullptr);

  // Where the next save dialog starts.
  QString Folder() const;
  // Runs the whole flow for Device, modal to Window. Errors are shown, not
  // raised.
  void Execute(TOscDevice& Device, QWidget* Window);

private:
  QString FLastFolder;
};
