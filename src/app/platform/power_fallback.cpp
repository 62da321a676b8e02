#include "app/platform/power_actions.h"

namespace vornel {
namespace {

// A system without a power implementation of its own yet: the program runs and backs up, and
// "shut down after the run" simply leaves the machine on.
class NoPowerActions : public PowerActions {
  public:
    void request(PowerRequest) override {}
    void finishPending(int) override {}
};

}  // namespace

std::unique_ptr<PowerActions> createPowerActions() { return std::make_unique<NoPowerActions>(); }

}  // namespace vornel
