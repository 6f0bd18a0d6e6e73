#pragma once

// Errors the Qt transports raise to their caller: an address or port that
// cannot be used, a change refused while the link is up.

#include "osc/OscTypes.h"

class EZelvoLinkError : public EOscError {
public:
  using EOscError::EOscError;
};
