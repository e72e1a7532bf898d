#include "support/TestSession.h"

SessionState& testSession()
{
    static SessionState state;
    return state;
}
