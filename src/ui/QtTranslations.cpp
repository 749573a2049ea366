#include "ui/QtTranslations.h"

#include <QLibraryInfo>

using namespace Qt::StringLiterals;

std::unique_ptr<QTranslator> LoadQtTranslator(const QLocale &locale)
{
    auto translator = std::make_unique<QTranslator>();
    // qtbase_<language> covers the widgets and dialogs; the "qt_" catalogues only include it.
    if (!translator->load(locale, u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    return translator;
}
