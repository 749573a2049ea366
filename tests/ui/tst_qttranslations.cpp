// Qt's own texts follow the person's locale once the translator is installed.
#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTest>

using namespace Qt::StringLiterals;

class tst_QtTranslations : public QObject
{
    Q_OBJECT

private slots:
    void standardTexts_data();
    void standardTexts();
};

void tst_QtTranslations::standardTexts_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("catalogue"); // what must be installed for the row; empty: none
    QTest::addColumn<QByteArray>("context");
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("shown");

    const QLocale japan(QLocale::Japanese, QLocale::Japan);
    QTest::newRow("ja_JP: button") << japan << u"qtbase_ja.qm"_s << QByteArray("QPlatformTheme")
                                   << QByteArray("Cancel") << u"キャンセル"_s;
    QTest::newRow("ja_JP: folder dialog") << japan << u"qtbase_ja.qm"_s << QByteArray("QFileDialog")
                                          << QByteArray("&New Folder") << u"新しいフォルダ(&N)"_s;
    QTest::newRow("ja without country")
        << QLocale(QLocale::Japanese) << u"qtbase_ja.qm"_s << QByteArray("QPlatformTheme")
        << QByteArray("Cancel") << u"キャンセル"_s;
    QTest::newRow("C stays as Qt writes it")
        << QLocale::c() << QString() << QByteArray("QPlatformTheme") << QByteArray("Cancel")
        << u"Cancel"_s;
}

void tst_QtTranslations::standardTexts()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, catalogue);
    QFETCH(QByteArray, context);
    QFETCH(QByteArray, source);
    QFETCH(QString, shown);

    const QDir translations(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!catalogue.isEmpty() && !translations.exists(catalogue))
        QSKIP(qPrintable(translations.filePath(catalogue) +
                         u" is not installed (Debian: qt6-translations-l10n)"_s));

    const std::unique_ptr<QTranslator> translator = LoadQtTranslator(locale);
    QCOMPARE(bool(translator), !catalogue.isEmpty());
    if (translator)
        QVERIFY(QCoreApplication::installTranslator(translator.get()));
    QCOMPARE(QCoreApplication::translate(context.constData(), source.constData()), shown);
}

QTEST_GUILESS_MAIN(tst_QtTranslations)
#include "tst_qttranslations.moc"
