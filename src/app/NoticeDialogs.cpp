#include "app/NoticeDialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Glyphs.h"

namespace {

QLabel* Picture(TGlyph Glyph, QWidget* Parent) {
  auto* L = new QLabel(Parent);
  L->setObjectName("Image1");
  L->setFixedSize(64, 64);
  L->setPixmap(GlyphIcon(Glyph).pixmap(64, 64));
  L->setAlignment(Qt::AlignTop);
  return L;
}

QLabel* Heading(const QString& Text, QWidget* Parent) {
  auto* L = new QLabel(Text, Parent);
  QFont Bold = L->font();
  Bold.setBold(true);
  Bold.setPointSizeF(Bold.pointSizeF() * 1.25);
  L->setFont(Bold);
  return L;
}

} // namespace

TWarningDialog::TWarningDialog(QWidget* Parent) : TFixedDialog(QSize(345, 137), Parent) {
  setObjectName("WarningDialog");
  setWindowTitle(tr("Warning"));
  auto* Row = new QHBoxLayout(this);
  Row->addWidget(Picture(TGlyph::Warning, this), 0, Qt::AlignTop);
  auto* Column = new QVBoxLayout;
  Column->addWidget(Heading(tr("Warning"), this));
  auto* Message =
      new QLabel(tr("Probe ground and charger ground at different voltage level."), this);
  Message->setObjectName("lblMessage");
  Message->setWordWrap(true);
  Column->addWidget(Message, 1);
  auto* Ok = new QPushButton(tr("&OK"), this);
  Ok->setObjectName("btnOK");
  Ok->setDefault(true);
  connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
  Column->addWidget(Ok, 0, Qt::AlignRight);
  Row->addLayout(Column, 1);
  FitToLayout();
}

TCalibrationForm::TCalibrationForm(QWidget* Parent) : TFixedDialog(QSize(348, 122), Parent) {
  setObjectName("CalibrationForm");
  setWindowTitle(tr("Calibration in progress..."));
  const QColor Grey(173, 173, 173);
  auto* Row = new QHBoxLayout(this);
  Row->addWidget(Picture(TGlyph::Information, this), 0, Qt::AlignTop);
  auto* Column = new QVBoxLayout;
  QLabel* Title = Heading(tr("Calibrating"), this);
  auto* Message = new QLabel(tr("Please wait while your scope calibrates itself...\n\n"
                                "This window will be closed automatically when calibration is "
                                "complete."),
                             this);
  Message->setObjectName("lblMessage");
  Message->setWordWrap(true);
  for (QLabel* L : {Title, Message}) {
    QPalette P = L->palette();
    P.setColor(QPalette::WindowText, Grey);
    L->setPalette(P);
    Column->addWidget(L);
  }
  Column->addStretch(1);
  Row->addLayout(Column, 1);
  FitToLayout();
}
