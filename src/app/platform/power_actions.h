#pragma once

#include <memory>

#include "common/platform.h"

namespace vornel {

// Hands the program's power requests (log off, shut down, restart) to the running system.
// A request returns at once and is never forced: the system, its policy and other programs may
// still refuse, and nobody is told either way.
class PowerActions {
  public:
    virtual ~PowerActions() = default;
    virtual void request(PowerRequest request) = 0;
    // Lets events run until every request made so far has been answered, or `timeoutMs` has
    // passed. For a program about to end itself right after a request, which would otherwise
    // take the request with it before it was delivered.
    virtual void finishPending(int timeoutMs) = 0;
};

// The implementation for the system the program is built for.
std::unique_ptr<PowerActions> createPowerActions();

}  // namespace vornel
