#pragma once

// The program once the information switches are handled: the Qt application, the start-up, then
// the windows or the unattended run. Returns the exit status. windows is honoured only where the
// windows are built in (the windows module); the executable itself runs without them.
int RunProgram(int &argc, char **argv, bool windows);
