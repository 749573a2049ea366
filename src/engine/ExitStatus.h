#pragma once

// Exit statuses of the process, for a scheduler to act on.
enum ExitStatus : int {
    ExitNormal = 0,          // every page fetched, the output written, the settings saved
    ExitNoOutput = 1,        // a run ended without writing its output, or a save failed
    ExitCouldNotStart = 2,   // the start-up failed, or no display without "/AutoGet"
    ExitSomePagesFailed = 3, // the output was written, but some pages could not be fetched
};
