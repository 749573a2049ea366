#pragma once

#include "engine/FetchRun.h"

#include <functional>

// The fetch action without windows: run, open the output with "/Open", copy Default.ini beside
// it unless NoCopyINI, save the keywords and the settings. Returns the process exit status:
// 0 output written and settings saved; 1 the run wrote no output or a save failed (the reason
// has been told through the prompter). A cancelled run saves nothing.
int btnFetch_Click(ProgramState &state, RunServices &services,
                   const std::function<bool(const QString &path)> &openDocument);
