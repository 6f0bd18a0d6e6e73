#pragma once

// What every dialog of the program shares: a fixed size, a close box as the
// only frame button, and a place centred on its parent at every showing (the
// dialogs are reused, and a reused one would otherwise open where it was last
// moved). The size is the designed one, grown to whatever the layout needs, so
// that a larger font or a longer translation never clips a text.

#include <QDialog>
#include <QSize>

class TFixedDialog : public QDialog {
  Q_OBJECT

public:
  // Designed is the client area the dialog was drawn for.
  TFixedDialog(QSize Designed, QWidget* Parent);

  void setVisible(bool Visible) override;

protected:
  // Fixes the size from the layout; call once the layout is complete. Done
  // again at every showing and after a change of font or language.
  void FitToLayout();
  void changeEvent(QEvent* Event) override;

private:
  QSize FDesigned;
};
