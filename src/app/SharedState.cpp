#include "app/SharedState.h"

SharedState& sharedState()
{
    // Built on first use, so windows constructed during static
    // initialisation still find it.
    static SharedState state;
    return state;
}

void resetSharedState()
{
    sharedState() = SharedState{};
}
