// The keyword file on any bytes: loaded into a list, and its fields written and read back.
#include "FuzzInput.h"
#include "startup/KeyWordList.h"
#include "util/CodePage.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static ScratchFile scratch(u"KeyWord.txt"_s);
    KeyWordList list;
    (void)LoadKeyWords(scratch.write(fuzzBytes(data, size)), list);

    const QStringList fields = SplitKeyWordFields(CodePage::fromCp932(fuzzBytes(data, size)));
    fuzzRequire(SplitKeyWordFields(JoinKeyWordLines(fields)) == fields);
    return 0;
}
