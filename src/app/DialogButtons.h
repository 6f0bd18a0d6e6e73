#pragma once

// The OK and Cancel buttons every dialog of the program has, laid out the
// same way: the dialog's body above, the two buttons at the bottom right.

class QDialog;
class QPushButton;
class QWidget;

struct TOkCancelButtons {
  QPushButton* Ok = nullptr;
  QPushButton* Cancel = nullptr;
};

// Gives Dialog its layout: Body, then "&OK" (the default, accepts) and
// "&Cancel" (rejects). Both go through the program's exception boundary.
TOkCancelButtons LayOutWithOkCancel(QDialog* Dialog, QWidget* Body);
