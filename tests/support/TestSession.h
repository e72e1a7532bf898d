#pragma once
// The session state of the test that is running, as the main window holds
// one for the program's run. TestInstallation starts it afresh; a test hands
// it to the screens and routines it drives.

#include "session/Session.h"

SessionState& testSession();
