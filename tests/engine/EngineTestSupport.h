#pragma once

#include "engine/FetchProgress.h"
#include "startup/ProgramState.h"
#include "util/DebugLog.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// One headline of a list page: the link target and the title.
struct Item
{
    QString path;
    QString title;
};

// A headline list page in the portal's layout, with a next-page link when next is given.
inline QString headlinePage(const QList<Item> &items, const QString &next = {})
{
    using namespace Qt::StringLiterals;
    QString page = u"<html><body>\n<!-- GEN_HEADLINES -->\n<ul>\n"_s;
    for (const Item &item : items)
        page += u"<li><a href="_s + item.path + u'>' + item.title + u"</a> (12:00)</li>\n"_s;
    page += u"</ul>\n"_s;
    if (!next.isEmpty())
        page += u"<a href="_s + next + u">次ページ</a>\n"_s;
    return page + u"</body></html>\n"_s;
}

// A debug log that keeps the texts it was given, without their time stamps.
class CapturedLog
{
public:
    CapturedLog()
    {
        m_log.setOptions(true, false);
        m_log.setWindowSink([lines = m_lines](const QString &line) {
            lines->append(line.mid(line.indexOf(u"] ") + 2));
        });
    }

    DebugLog &log() { return m_log; }
    const QStringList &lines() const { return *m_lines; }

private:
    std::shared_ptr<QStringList> m_lines = std::make_shared<QStringList>();
    DebugLog m_log;
};

// Keeps everything it is shown; can report a cancel at a chosen event.
class RecordingProgress final : public FetchProgress
{
public:
    QStringList infos;
    QStringList captions;
    QList<qint32> values;
    QStringList units;
    qint32 max = -1;
    int cancelAtEvent = -1; // letEventsThrough call (0-based) that reports a cancel
    int events = 0;
    // cancelled() turns true on this call (0-based), as when Cancel is confirmed mid-request.
    int cancelledFromQuery = -1;
    mutable int queries = 0;

    void setInfo(const QString &text) override { infos << text; }
    void setCaption(const QString &text) override { captions << text; }
    void setMax(qint32 value) override { max = value; }
    void setValue(qint32 value) override { values << value; }
    void setUnit(const QString &unit) override { units << unit; }
    bool letEventsThrough() override { return events++ != cancelAtEvent; }
    bool cancelled() const override
    {
        return cancelledFromQuery >= 0 && queries++ >= cancelledFromQuery;
    }
};

// A run's state with its settings folder in folder, writing folder/out.csv, one pass, nothing
// ticked yet.
inline void prepareRunState(ProgramState &state, const QString &folder)
{
    using namespace Qt::StringLiterals;
    state.programFolder = folder;
    state.SettingFolder = folder + u"/settings"_s;
    QDir().mkpath(state.SettingFolder);
    state.SettingIni.SetiniFilename(state.settingIniPath());
    state.settings.SaveFolder = folder;
    state.settings.SaveFileName = {u"out"_s, {}, {}};
    state.settings.Yesterday = 0;
    state.runOptions.Csv = true; // one line per record: easy to read back
}
