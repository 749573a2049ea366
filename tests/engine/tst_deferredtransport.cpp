#include "EngineTestSupport.h"
#include "engine/DeferredTransport.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// What the deferred transport handed on, as one line per call.
struct Calls
{
    int made = 0;
    QStringList seen;
};

class RecordingTransport final : public TestTransport
{
public:
    explicit RecordingTransport(Calls &calls)
        : m_calls(calls)
    {}

    HttpReply get(const QString &url) override
    {
        m_calls.seen << u"get "_s + url;
        return {!m_aborted, url.toUtf8(), m_aborted ? url + u": cancelled"_s : QString()};
    }
    void expect(const QString &url) override { m_calls.seen << u"expect "_s + url; }
    void forgetExpected() override { m_calls.seen << u"forget"_s; }
    void hold(bool held) override { m_calls.seen << (held ? u"hold"_s : u"release"_s); }
    void abort() override
    {
        m_aborted = true;
        m_calls.seen << u"abort"_s;
    }

private:
    Calls &m_calls;
    bool m_aborted = false;
};

} // namespace

class tst_DeferredTransport : public QObject
{
    Q_OBJECT

private slots:
    void calls_data();
    void calls();
};

void tst_DeferredTransport::calls_data()
{
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<int>("made");
    QTest::addColumn<QStringList>("seen");

    QTest::newRow("nothing asked: nothing made") << QStringList{} << 0 << QStringList{};
    QTest::newRow("forgetting before anything: nothing made")
        << QStringList{u"forget"_s} << 0 << QStringList{};
    QTest::newRow("an abort alone: nothing made") << QStringList{u"abort"_s} << 0 << QStringList{};
    QTest::newRow("made once, calls in order")
        << QStringList{u"expect /b"_s, u"get /a"_s, u"get /b"_s, u"forget"_s} << 1
        << QStringList{u"expect /b"_s, u"get /a"_s, u"get /b"_s, u"forget"_s};
    QTest::newRow("an abort before the first request reaches the transport")
        << QStringList{u"abort"_s, u"get /a"_s} << 1 << QStringList{u"abort"_s, u"get /a"_s};
    QTest::newRow("an abort after it goes straight on")
        << QStringList{u"get /a"_s, u"abort"_s} << 1 << QStringList{u"get /a"_s, u"abort"_s};
    QTest::newRow("a hold before the first announcement reaches the transport")
        << QStringList{u"hold"_s, u"expect /a"_s} << 1 << QStringList{u"hold"_s, u"expect /a"_s};
    QTest::newRow("held and released before: nothing held")
        << QStringList{u"hold"_s, u"release"_s, u"get /a"_s} << 1 << QStringList{u"get /a"_s};
    QTest::newRow("a hold and its release after go straight on")
        << QStringList{u"get /a"_s, u"hold"_s, u"release"_s} << 1
        << QStringList{u"get /a"_s, u"hold"_s, u"release"_s};
}

void tst_DeferredTransport::calls()
{
    QFETCH(QStringList, asked);
    QFETCH(int, made);
    QFETCH(QStringList, seen);

    Calls calls;
    DeferredTransport deferred([&calls] {
        ++calls.made;
        return std::make_unique<RecordingTransport>(calls);
    });
    bool aborted = false;
    for (const QString &call : asked) {
        const QString url = call.section(u' ', 1);
        if (call.startsWith(u"get"_s)) {
            const HttpReply reply = deferred.get(url);
            // The reply is the made transport's own, cancel included.
            QCOMPARE(reply.ok, !aborted);
            QCOMPARE(reply.body, url.toUtf8());
        } else if (call.startsWith(u"expect"_s)) {
            deferred.expect(url);
        } else if (call == u"forget"_s) {
            deferred.forgetExpected();
        } else if (call == u"hold"_s || call == u"release"_s) {
            deferred.hold(call == u"hold"_s);
        } else {
            deferred.abort();
            aborted = true;
        }
    }
    QCOMPARE(calls.made, made);
    QCOMPARE(calls.seen, seen);
}

QTEST_GUILESS_MAIN(tst_DeferredTransport)
#include "tst_deferredtransport.moc"
