#pragma once

// The program-wide exception handler: shows what escaped an event handler in
// a modal box and lets the program go on with the state the handler left.

#include <QString>

#include <exception>

class QWidget;

// The message as the box shows it, in the user's language when it is one of
// the model's: a full stop is appended when the message is not empty and its
// last character sorts after ".".
QString ExceptionBoxText(const QString& Message);

// The box's caption: the executable's file name without extension.
QString ExceptionBoxTitle();

// Installs the handler for the whole program; boxes are modal to Parent.
void InstallGlobalExceptionHandler(QWidget* Parent);
