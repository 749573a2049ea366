// Opens each window with sample content and saves what it shows as PNG files, for the
// documentation and for checking layouts by eye. Usage: varnholt_screenshots <folder>
#include "NoHost.h"
#include "ScriptedPrompter.h"
#include "startup/ProgramState.h"
#include "ui/SplashForm.h"
#include "ui/frmDebug.h"
#include "ui/frmFetch.h"
#include "ui/frmSetting.h"
#include "util/Version.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

bool save(QWidget &window, const QDir &folder, const QString &name)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QTest::qWait(50); // let pending paints land before grabbing
    const QString path = folder.filePath(name);
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "%s: could not be written\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: varnholt_screenshots <folder>\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir scratch;
    bool ok = true;

    ProgramState state;
    state.programFolder = scratch.path();
    state.SettingFolder = scratch.path();
    state.settings.SaveFolder = u"/home/kazemi/clip"_s;
    state.settings.Category = {1, 1, 1, 0, 1, 0, 0, 1, 0, 2, 1, 0};
    for (const QString &word : {u"決算"_s, u"円高"_s, u"新製品"_s, u"Linux"_s, u"株価"_s})
        state.keyWords.insertSorted(word);
    ScriptedPrompter prompter;
    NoHost host;

    frmSetting settings(state, prompter, host);
    auto *tabs = settings.findChild<QTabWidget *>(u"SSTab"_s);
    const QStringList pages = {u"settings-categories"_s, u"settings-folder"_s,
                               u"settings-keywords"_s, u"settings-details"_s};
    for (int i = 0; i < pages.size(); ++i) {
        tabs->setCurrentIndex(i);
        ok = save(settings, folder, pages.at(i) + u".png"_s) && ok;
    }
    settings.hide();

    frmFetch fetch(prompter);
    // What a run shows while it fetches the fourth of ten articles.
    fetch.setUnit(u" Article(s) / 10 Article(s)"_s);
    fetch.setMax(10);
    fetch.setValue(4);
    fetch.setInfo(u"記事を受信しています。"_s);
    fetch.setCaption(u"4 / 10(受信中) - "_s + ProgramTitle());
    QApplication::processEvents();
    ok = save(fetch, folder, u"fetch.png"_s) && ok;
    fetch.hide();

    frmDebug debug;
    for (const QString &line :
         {u"Program Started."_s, u"http://127.0.0.1:8642/headlines/dom/を調査します。"_s,
          u"http://127.0.0.1:8642/headlines/dom/をGetしています。"_s,
          u"http://127.0.0.1:8642/headlines/dom/をGetしました。"_s})
        debug.appendLine(line);
    ok = save(debug, folder, u"debug.png"_s) && ok;
    debug.hide();

    SplashForm about([](const QString &) {});
    ok = save(about, folder, u"about.png"_s) && ok;
    return ok ? 0 : 1;
}
