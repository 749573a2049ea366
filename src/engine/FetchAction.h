#pragma once

#include "engine/ExitStatus.h"
#include "engine/FetchRun.h"

#include <functional>

struct ProgramState;

struct FetchOutcome
{
    RunResult run;
    bool settingsSaved = false;
    // ExitNormal, ExitSomePagesFailed or ExitNoOutput (the reason has been told).
    int exitStatus = ExitNoOutput;
};

// The fetch action without windows: run with the state's settings, keywords, command-line options
// and portal address, open the output with "/Open", copy Default.ini beside it unless NoCopyINI,
// save the keywords and the settings. A cancelled run saves nothing.
FetchOutcome FetchAndSave(ProgramState &state, RunServices &services,
                          const std::function<bool(const QString &path)> &openDocument);

// The one line a run without windows ends with: what was written where, and what was missed.
QString RunSummary(const FetchOutcome &outcome);
