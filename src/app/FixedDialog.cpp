#include "app/FixedDialog.h"

#include <QEvent>
#include <QLayout>

TFixedDialog::TFixedDialog(QSize Designed, QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      FDesigned(Designed) {
  setModal(true);
  setFixedSize(Designed);
}

void TFixedDialog::FitToLayout() {
  QLayout* Layout = layout();
  if (Layout == nullptr)
    return;
  Layout->activate();
  const int Width = std::max(FDesigned.width(), Layout->totalSizeHint().width());
  // Wrapped texts grow downwards in the width they are given.
  const int Needed = Layout->hasHeightForWidth() ? Layout->totalHeightForWidth(Width)
                                                 : Layout->totalSizeHint().height();
  setFixedSize(Width, std::max(FDesigned.height(), Needed));
}

void TFixedDialog::setVisible(bool Visible) {
  if (Visible) {
    FitToLayout();
    // Qt centres a dialog on its parent unless it was moved.
    setAttribute(Qt::WA_Moved, false);
  }
  QDialog::setVisible(Visible);
}

void TFixedDialog::changeEvent(QEvent* Event) {
  QDialog::changeEvent(Event);
  if (Event->type() == QEvent::FontChange || Event->type() == QEvent::LanguageChange)
    FitToLayout();
}
