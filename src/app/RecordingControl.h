#pragma once

// File › Record...: records every frame the scope's link receives into a
// recording file (link/ZelvoRecorder.h) until the user stops it, a write
// fails or the scope driver is moved to another link. It owns the recorder and
// the timer that flushes it, so that a capture is on disk within half a
// second, and says for the link panel how much it has recorded.

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class QWidget;
class TFileFolder;
class TZelvoConnection;
class TZelvoRecorder;

class TRecordingControl : public QObject {
  Q_OBJECT

public:
  // Dialogs and messages are modal to Window; Folder must outlive this.
  TRecordingControl(TFileFolder& Folder, QWidget* Window);
  // Stops a recording; call it while the recorded link still exists.
  ~TRecordingControl() override;

  // Asks where to record (a save dialog proposing a dated .zrec name), then
  // records what Link receives. A file that cannot be created is shown.
  void Execute(TZelvoConnection& Link);
  // Records what Link receives into FileName from now on; raises EOscError
  // when the file cannot be created. A running recording ends first.
  void Start(TZelvoConnection& Link, const QString& FileName);
  // Writes what is buffered and closes the file. A failing last write is
  // shown, as any failing write.
  void Stop();
  // The scope driver now talks through Link: a recording of another link
  // would take nothing more, so it ends.
  void Follow(const TZelvoConnection* Link);

  bool Recording() const;
  // The recorder while recording, else nullptr.
  const TZelvoRecorder* Recorder() const;
  // For the link panel while recording, e.g. "recording 1234 frames, 1.3 MB";
  // empty otherwise.
  QString Text() const;

signals:
  // Started, stopped, failed, and at every flush while recording.
  void Changed();

private:
  void Tick();
  // A write failed (reported from the event loop, not from the link's
  // receive path): the recording ends and the user hears of it once.
  void Failed(const QString& Message);

  TFileFolder& FFolder;
  QWidget* FWindow;
  std::unique_ptr<TZelvoRecorder> FRecorder;
  const TZelvoConnection* FLink = nullptr; // the one FRecorder records
  QTimer FFlushTimer;
};
