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

void FixSize(QDialog* Dialog, int Width, int Height) {
  Dialog->setFixedSize(Width, Height);
  // Close box only.
  Dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint);
  Dialog->setModal(true);
}

// Qt centres a dialog on its parent unless it was moved; these are reused, so
// forget the last place before every showing.
void CentreOnParent(QDialog* Dialog) {
  Dialog->setAttribute(Qt::WA_Moved, false);
}

} // namespace

TWarningDialog::TWarningDialog(QWidget* Parent) : QDialog(Parent) {
  setObjectName("WarningDialog");
  setWindowTitle("Warning");
  FixSize(this, 345, 137);
  auto* Row = new QHBoxLayout(this);
  Row->addWidget(Picture(TGlyph::Warning, this), 0, Qt::AlignTop);
  auto* Column = new QVBoxLayout;
  Column->addWidget(Heading("Warning", this));
  auto* Message = new QLabel("Probe ground and charger ground at different voltage level.", this);
  Message->setObjectName("lblMessage");
  Message->setWordWrap(true);
  Column->addWidget(Message, 1);
  auto* Ok = new QPushButton("&OK", this);
  Ok->setObjectName("btnOK");
  Ok->setDefault(true);
  connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
  Column->addWidget(Ok, 0, Qt::AlignRight);
  Row->addLayout(Column, 1);
}

void TWarningDialog::setVisible(bool Visible) {
  if (Visible)
    CentreOnParent(this);
  QDialog::setVisible(Visible);
}

TCalibrationForm::TCalibrationForm(QWidget* Parent) : QDialog(Parent) {
  setObjectName("CalibrationForm");
  setWindowTitle("Calibration in progress...");
  FixSize(this, 348, 122);
  const QColor Grey(173, 173, 173);
  auto* Row = new QHBoxLayout(this);
  Row->addWidget(Picture(TGlyph::Information, this), 0, Qt::AlignTop);
  auto* Column = new QVBoxLayout;
  QLabel* Title = Heading("Calibrating", this);
  auto* Message = new QLabel("Please wait while your scope calibrates itself...\n\n"
                             "This window will be closed automatically when calibration is "
                             "complete.",
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
}

void TCalibrationForm::setVisible(bool Visible) {
  if (Visible)
    CentreOnParent(this);
  QDialog::setVisible(Visible);
}
