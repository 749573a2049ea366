#pragma once

#include <QLocale>
#include <QTranslator>

#include <memory>

// Qt's own texts (standard buttons, the folder dialog, context menus) in the person's language,
// from the translations installed with Qt. Null when there are none for that locale; the
// program's own texts are Japanese whatever the locale.
std::unique_ptr<QTranslator> LoadQtTranslator(const QLocale &locale);
