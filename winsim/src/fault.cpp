// Fault injection: a test aims a failure at the n-th call of one API, and
// each simulated call asks here, at the point where Windows could fail it,
// whether this is that call.
#include "internal.h"

namespace winsim {

static struct FaultState {
    CallAim aims[WinsimCallCount];
} faults;

void ResetFaults()
{
    faults = FaultState{};
}

bool Due(CallAim &aim)
{
    if (aim.left <= 0)
        return false;
    if (aim.left > 1) {
        aim.left--;
        return false;
    }
    if (!aim.andAfter)
        aim.left = 0;
    return true;
}

bool ShouldFail(WinsimCall call)
{
    return Due(faults.aims[call]);
}

}  // namespace winsim

void WinsimFailCall(WinsimCall call, int nth, bool andAfter)
{
    winsim::faults.aims[call] = winsim::CallAim{nth, andAfter};
}

void WinsimClearFailures(void)
{
    winsim::ResetFaults();
}
