#include "app/ScopePicture.h"

#include <algorithm>

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QMessageBox>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "app/FileDialogs.h"
#include "display/OscPainterRenderer.h"
#include "display/OscScopeView.h"

namespace {

constexpr int CMargin = 4;
// The readouts' grey, on the view's background.
const QColor CTextColor(0xD0, 0xD0, 0xD0);

QColor ColorOf(TOscColor C) {
  return QColor(OscRed(C), OscGreen(C), OscBlue(C));
}

// A fixed pixel size: the picture looks the same in PNG and SVG, whatever
// resolution either device claims.
QFont BandFont() {
  QFont Font = QGuiApplication::font();
  Font.setPixelSize(13);
  return Font;
}

// Left, centre and right texts in one row of Area; the outer two shortened
// with an ellipsis where a narrow view leaves them too little room.
void DrawRow(QPainter& Painter, const QRect& Area, const QString& Left, const QColor& LeftColor,
             const QString& Centre, const QString& Right, const QColor& RightColor) {
  const QFontMetrics Metrics(Painter.font());
  const int Side = std::max(0, (Area.width() - Metrics.horizontalAdvance(Centre)) / 2 - CMargin);
  Painter.setPen(CTextColor);
  Painter.drawText(Area, Qt::AlignHCenter | Qt::AlignVCenter, Centre);
  Painter.setPen(LeftColor);
  Painter.drawText(Area, Qt::AlignLeft | Qt::AlignVCenter,
                   Metrics.elidedText(Left, Qt::ElideRight, Side));
  Painter.setPen(RightColor);
  Painter.drawText(Area, Qt::AlignRight | Qt::AlignVCenter,
                   Metrics.elidedText(Right, Qt::ElideRight, Side));
}

} // namespace

TScopePicture::TScopePicture(TOscScopeView& View, TFileFolder& Folder, QWidget* Window)
    : QObject(Window), FView(View), FFolder(Folder), FWindow(Window) {}

bool TScopePicture::CanSaveSvg() const {
  return dynamic_cast<const TOscPainterRenderer*>(&FView) != nullptr;
}

int TScopePicture::BandHeight() const {
  return QFontMetrics(BandFont()).height() + 2 * CMargin;
}

QImage TScopePicture::Image(const TPictureTexts& Texts) {
  // The OpenGL drawing's pixels carry the clear colour's alpha of 0: opaque
  // before they are drawn over anything.
  QImage View = FView.GrabFramebuffer().convertToFormat(QImage::Format_RGB32);
  if (View.isNull() || FView.width() <= 0)
    return {};
  const qreal Dpr = static_cast<qreal>(View.width()) / FView.width();
  View.setDevicePixelRatio(Dpr);
  const int Width = FView.width(), Height = FView.height(), Band = BandHeight();
  QImage Picture(static_cast<int>(Width * Dpr), static_cast<int>((Height + 2 * Band) * Dpr),
                 QImage::Format_RGB32);
  Picture.setDevicePixelRatio(Dpr);
  QPainter Painter(&Picture);
  PaintBands(Painter, Texts, Width, Height);
  Painter.drawImage(QPointF(0, Band), View);
  return Picture;
}

void TScopePicture::WriteSvg(QIODevice& Device, const TPictureTexts& Texts) {
  auto* Drawing = dynamic_cast<TOscPainterRenderer*>(&FView);
  if (Drawing == nullptr)
    return;
  // The traces of the current samples, as a frame would show them.
  FView.Render();
  const int Width = FView.width(), Height = FView.height(), Band = BandHeight();
  QSvgGenerator Svg;
  Svg.setOutputDevice(&Device);
  // Its size is written in millimetres: at CSS's 96 pixels an inch, a
  // browser shows one pixel of the view as one pixel.
  Svg.setResolution(96);
  Svg.setSize(QSize(Width, Height + 2 * Band));
  Svg.setViewBox(QRect(0, 0, Width, Height + 2 * Band));
  Svg.setTitle(Texts.Caption);
  QPainter Painter(&Svg);
  PaintBands(Painter, Texts, Width, Height);
  Painter.translate(0, Band);
  Drawing->Draw(Painter);
}

void TScopePicture::Save(const TPictureTexts& Texts) {
  const QString Filter =
      CanSaveSvg() ? tr("PNG image (*.png);;SVG image (*.svg)") : tr("PNG image (*.png)");
  const QString FileName = ChooseFileToSave(FWindow, FFolder, Filter, QStringLiteral("png"));
  if (!FileName.isEmpty())
    SaveTo(FileName, Texts);
}

bool TScopePicture::SaveTo(const QString& FileName, const TPictureTexts& Texts) {
  const bool Svg = QFileInfo(FileName).suffix().compare("svg", Qt::CaseInsensitive) == 0;
  if (Svg && !CanSaveSvg()) {
    Failed(FileName, tr("the view drawn with OpenGL can be saved as PNG only"));
    return false;
  }
  QImage Picture;
  if (!Svg) {
    Picture = Image(Texts);
    if (Picture.isNull()) {
      Failed(FileName, tr("the view is not on screen"));
      return false;
    }
  }
  // Written beside the file and renamed over it at the end: a failed save
  // leaves an older picture of the same name whole.
  QSaveFile File(FileName);
  if (!File.open(QIODevice::WriteOnly)) {
    Failed(FileName, File.errorString());
    return false;
  }
  if (Svg) {
    WriteSvg(File, Texts);
  } else {
    QImageWriter Writer(&File, "png");
    if (!Writer.write(Picture)) {
      File.cancelWriting();
      Failed(FileName, Writer.errorString());
      return false;
    }
  }
  if (!File.commit()) {
    Failed(FileName, File.errorString());
    return false;
  }
  return true;
}

void TScopePicture::Copy(const TPictureTexts& Texts) {
  const QImage Picture = Image(Texts);
  if (!Picture.isNull())
    QGuiApplication::clipboard()->setImage(Picture);
}

void TScopePicture::PaintBands(QPainter& Painter, const TPictureTexts& Texts, int Width,
                               int ViewHeight) const {
  const int Band = BandHeight();
  const QColor Back = ColorOf(FView.Skin().BackgroundColor());
  const QRect Top(0, 0, Width, Band), Bottom(0, Band + ViewHeight, Width, Band);
  Painter.fillRect(Top, Back);
  Painter.fillRect(Bottom, Back);
  Painter.setFont(BandFont());
  const QMargins Inside(CMargin, 0, CMargin, 0);
  DrawRow(Painter, Top.marginsRemoved(Inside), Texts.Caption, CTextColor, QString(),
          Texts.Time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), CTextColor);
  const TOscTraceColors& Colors = FView.Skin().TraceColors();
  DrawRow(Painter, Bottom.marginsRemoved(Inside), Texts.Readouts[0].join(QStringLiteral("  ")),
          ColorOf(Colors.Color(0).Color()), Texts.TimeBase,
          Texts.Readouts[1].join(QStringLiteral("  ")), ColorOf(Colors.Color(1).Color()));
}

void TScopePicture::Failed(const QString& FileName, const QString& Reason) {
  QMessageBox::critical(
      FWindow, tr("Error"),
      tr("Cannot save the picture to %1: %2.").arg(QDir::toNativeSeparators(FileName), Reason));
}
