#pragma once

#include "PortalPages.h"
#include "engine/CurlUrl.h"
#include "engine/FetchProgress.h"
#include "engine/HttpTransport.h"
#include "startup/ProgramState.h"
#include "util/DebugLog.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The engine tests' name for a headline of a list page.
using Item = PortalPages::Headline;
using PortalPages::headlinePage;

// A transport whose replies a test gives; it reads addresses as libcurl does, like the real ones.
class TestTransport : public HttpTransport
{
public:
    bool originOf(const QString &url, UrlOrigin &origin) override { return OriginOf(url, origin); }
};

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
    // What mayGoOn() answers, asked before every request and question; none: always go on.
    std::function<bool()> goOn;

    void setInfo(const QString &text) override { infos << text; }
    void setCaption(const QString &text) override { captions << text; }
    void setMax(qint32 value) override { max = value; }
    void setValue(qint32 value) override { values << value; }
    void setUnit(const QString &unit) override { units << unit; }
    bool letEventsThrough() override { return events++ != cancelAtEvent; }
    bool mayGoOn() override { return !goOn || goOn(); }
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
