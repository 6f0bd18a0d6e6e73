#pragma once

// Where the program's file dialogs start, and the open and save dialogs of
// the capture and recording flows. Every dialog starts in the user's documents
// folder (the home folder where there is none), and once a file has been
// chosen in a folder the user may write, in that folder for the rest of the
// run: the program's own folder (/usr/bin once installed) is no place to
// write, and neither is the folder of a file opened from somewhere read-only.

#include <QString>

class QWidget;

class TFileFolder {
public:
  // Where the next file dialog starts.
  QString Folder() const;
  // FileName was chosen: its folder is where the next dialog starts, if the
  // user may write there.
  void Remember(const QString& FileName);

private:
  QString FLast;
};

// An open dialog over Filter ("Name (*.a *.b)"), modal to Window; the chosen
// file, or empty when cancelled. The folder is remembered.
QString ChooseFileToOpen(QWidget* Window, TFileFolder& Folder, const QString& Filter);

// A save dialog proposing "zelvo_DD-MM-YYYY_hh-mm-ss.SUFFIX" with the date and
// time, appending Suffix to a name typed without one and asking before it
// replaces a file; the chosen file, or empty when cancelled.
QString ChooseFileToSave(QWidget* Window, TFileFolder& Folder, const QString& Filter,
                         const QString& Suffix);

// The proposed name of a file made now: "zelvo_DD-MM-YYYY_hh-mm-ss.SUFFIX".
QString DatedFileName(const QString& Suffix);
