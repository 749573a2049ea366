#pragma once

#include "engine/ExitStatus.h"
#include "engine/FetchRun.h"

#include <functional>

struct FetchOutcome
{
    RunResult run;
    bool settingsSaved = false;
    // ExitNormal, ExitSomePagesFailed or ExitNoOutput (the reason has been told).
    int exitStatus = ExitNoOutput;
};

// The fetch action without windows: run, open the output with "/Open", copy Default.ini beside
// it unless NoCopyINI, save the keywords and the settings. A cancelled run saves nothing.
FetchOutcome btnFetch_Click(ProgramState &state, RunServices &services,
                            const std::function<bool(const QString &path)> &openDocument);

// The one line a run without windows ends with: what was written where, and what was missed.
QString RunSummary(const FetchOutcome &outcome);
