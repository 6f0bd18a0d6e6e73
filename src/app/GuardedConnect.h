#pragma once

// Connects a Qt signal to work of ours through the program's exception
// boundary: Qt's event loop does not carry C++ exceptions, so whatever the
// work raises goes to the program's one handler and the loop goes on.

#include <QObject>

#include <type_traits>
#include <utility>

#include "osc/OscErrorBoundary.h"

// The work takes the signal's arguments where it needs them, or none. It runs
// while Context lives; Qt drops the connection when Context goes.
template <class TSender, class TSignal, class TWork>
QMetaObject::Connection ConnectGuarded(TSender* Sender, TSignal Signal, const QObject* Context,
                                       TWork Work) {
  return QObject::connect(Sender, Signal, Context, [Work = std::move(Work)](auto&&... Args) {
    OscGuarded([&] {
      if constexpr (std::is_invocable_v<const TWork&, decltype(Args)...>)
        Work(std::forward<decltype(Args)>(Args)...);
      else
        Work();
    });
  });
}
