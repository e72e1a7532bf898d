#include "support/TestSession.h"

SessionState& testSession()
{
    return session();
}
