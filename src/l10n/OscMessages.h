#pragma once

// The messages of the model, the links and the view reach the shell in
// English inside exceptions: the model is plain C++ and knows no translation.
// Each of them is listed once in OscMessages.cpp for lupdate, with %1, %2
// where the model inserts a file name, a port or a reason, and is translated
// where the shell or a tool shows it. What a capture file's reader says is
// wrong with a line is listed too and translated inside its message.

#include <QString>

// Message in the user's language when it is one of the listed texts (the
// inserted parts kept as they are); otherwise, and without a translation,
// Message unchanged.
QString OscTranslatedMessage(const QString& Message);
