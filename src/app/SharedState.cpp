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

EditorTarget chosenTarget()
{
    const SharedState& s = sharedState();
    return {s.selectedAddress, s.selectedName, s.portNumber, s.baudText};
}
