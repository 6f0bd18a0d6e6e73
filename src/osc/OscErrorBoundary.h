#pragma once

// The program's one exception handler. Qt's event loop does not carry C++
// exceptions, so every entry point from the event loop (slot, lambda, event
// handler, timer or socket callback) runs its work through OscGuarded, which
// hands anything thrown to the handler and returns normally. The application
// installs a handler that shows a message box; until then the default one
// writes the message to standard error.

#include <exception>
#include <functional>
#include <utility>

using TOscExceptionHandler = std::function<void(std::exception_ptr Error)>;

// An empty handler restores the default. Returns the handler it replaces.
TOscExceptionHandler OscSetExceptionHandler(TOscExceptionHandler Handler);

// Hands the given exception to the installed handler. Never throws: an
// exception raised by the handler itself is written to standard error.
void OscHandleException(std::exception_ptr Error) noexcept;

// The message of an exception as the handler shows it, "" for one that
// carries none.
const char* OscExceptionMessage(const std::exception_ptr& Error) noexcept;

template <class TWork> void OscGuarded(TWork&& Work) noexcept {
  try {
    std::forward<TWork>(Work)();
  } catch (...) {
    OscHandleException(std::current_exception());
  }
}
