#pragma once
// Registers every screen the subsystems have built, so the main window can
// open them by name. Compiled into the program only: the subsystem
// libraries sit above the shell.

void registerAllScreens();
