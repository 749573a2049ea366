// The settings loader on any file: load, walk, look up, and write back to text.
#include "FuzzInput.h"
#include "ini/iniMente.h"
#include "util/CodePage.h"

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static ScratchFile scratch(u"fuzz.ini"_s);
    iniMente ini;
    if (!ini.iniLoader(scratch.write(fuzzBytes(data, size))))
        return 0;
    for (auto item = ini.GetiniGroup2(u"Category"_s); !item.first.isEmpty();
         item = ini.GetiniGroup2({}))
        (void)ini.GetiniValue(item.first, {});
    (void)ini.SearchinGroup(u"SaveFileName"_s, u"VHT"_s, true);
    const QByteArray saved = CodePage::toCp932(ini.iniSavertoVariable());

    // A saved file loads and saves again as the same bytes.
    iniMente again;
    fuzzRequire(again.iniLoader(scratch.write(saved)));
    fuzzRequire(CodePage::toCp932(again.iniSavertoVariable()) == saved);
    return 0;
}
