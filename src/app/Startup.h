#pragma once
// What the program does before the main window appears: read HMWcfg.dat,
// make sure the database is there and is ours, and repair the slip counter
// after a crash. Every failure is told to the operator in Japanese.

#include <QString>

struct SessionState;

// Makes `programDirectory` the current directory and prepares the session
// state of the run: the configuration and the days-per-month table.
// Returns false when the program must stop (the operator has been told why;
// no file has been written).
// When it created an empty database, it offers to bring the old program's
// data in (the import screen) before the main window appears.
bool startUp(SessionState& state, const QString& programDirectory);
// The offer made then, and when a new shop folder has been prepared.
QString oldDataOffer();
