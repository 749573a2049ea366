// The command line parser on any text.
#include "FuzzInput.h"
#include "startup/RunOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString line = fuzzText(data, size);
    const RunOptions options = ParseCommandLine(line);
    fuzzRequire(options.KeyMode >= 0 && options.KeyMode <= 2);
    // A valued switch runs to the next space: no value holds one.
    for (const auto &part : options.FileNamePart)
        fuzzRequire(!part || !part->contains(u' '));
    fuzzRequire(!options.OutputFolder.contains(u' '));
    return 0;
}
