#pragma once

// Pictures of the scope view: File › Save picture... writes it as PNG, or as
// SVG where the view is drawn with QPainter (its drawing then paints straight
// into the SVG as lines; the OpenGL drawing has only pixels to give), and
// Edit › Copy picture puts the PNG's image on the clipboard. A picture is the
// view's own pixels with a band above (the window caption, the date and time)
// and a band below (each channel's readouts, the time base), so that it says
// on its own what it shows.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

class QIODevice;
class QImage;
class QPainter;
class QWidget;
class TFileFolder;
class TOscScopeView;

// What a picture says around the view, as the window shows it.
struct TPictureTexts {
  QString Caption;
  QDateTime Time;
  // Each channel's readout texts, in the order the strip shows them.
  QStringList Readouts[2];
  QString TimeBase;
};

class TScopePicture : public QObject {
  Q_OBJECT

public:
  // View and Folder must outlive the picture; dialogs and messages are modal
  // to Window.
  TScopePicture(TOscScopeView& View, TFileFolder& Folder, QWidget* Window);

  // Whether the view's drawing can paint into an SVG file.
  bool CanSaveSvg() const;
  // Height of the band above the view and of the one below, in pixels.
  int BandHeight() const;

  // The picture as an image: the view's width, its height plus both bands.
  // A null image when the view is not on screen.
  QImage Image(const TPictureTexts& Texts);
  // The picture as SVG into Device (open for writing); only where
  // CanSaveSvg().
  void WriteSvg(QIODevice& Device, const TPictureTexts& Texts);

  // Asks where to save (PNG, and SVG where the drawing allows) and saves.
  void Save(const TPictureTexts& Texts);
  // Saves to FileName: SVG for a name ending in .svg, PNG otherwise. A file
  // that cannot be written gives one message naming it; false then.
  bool SaveTo(const QString& FileName, const TPictureTexts& Texts);
  // Puts the picture's image on the clipboard.
  void Copy(const TPictureTexts& Texts);

private:
  void PaintBands(QPainter& Painter, const TPictureTexts& Texts, int Width, int ViewHeight) const;
  void Failed(const QString& FileName, const QString& Reason);

  TOscScopeView& FView;
  TFileFolder& FFolder;
  QWidget* FWindow;
};
