#include "osc/OscErrorBoundary.h"

#include <cstdio>

namespace {

void WriteToStderr(std::exception_ptr Error) {
  std::fprintf(stderr, "%s\n", OscExceptionMessage(Error));
}

TOscExceptionHandler& Handler() {
  static TOscExceptionHandler Installed;
  return Installed;
}

} // namespace

TOscExceptionHandler OscSetExceptionHandler(TOscExceptionHandler Value) {
  return std::exchange(Handler(), std::move(Value));
}

void OscHandleException(std::exception_ptr Error) noexcept {
  try {
    if (Handler())
      Handler()(Error);
    else
      WriteToStderr(Error);
  } catch (...) {
    WriteToStderr(std::current_exception());
  }
}

const char* OscExceptionMessage(const std::exception_ptr& Error) noexcept {
  try {
    if (Error)
      std::rethrow_exception(Error);
  } catch (const std::exception& E) {
    return E.what();
  } catch (...) {
  }
  return "";
}
