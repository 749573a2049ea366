// What a failed request comes to for the person: libcurl's result read as a kind of failure,
// and the kind told in Japanese with the address, the portal's own refusal with its remedy.
#include "EngineTestSupport.h"
#include "engine/CurlFailure.h"
#include "engine/FailureReason.h"

#include <QTest>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

const QString kPortal = u"http://127.0.0.1:8642"_s;

// Only reads addresses: the reason lines never ask for a page.
class AddressReader final : public TestTransport
{
public:
    HttpReply get(const QString &) override { return {}; }
};

} // namespace

class tst_TransportFailure : public QObject
{
    Q_OBJECT

private slots:
    void failureOf_data();
    void failureOf();
    void reasonLines_data();
    void reasonLines();
};

void tst_TransportFailure::failureOf_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<long>("systemError");
    QTest::addColumn<HttpFailure>("failure");

    QTest::newRow("connect refused")
        << int(CURLE_COULDNT_CONNECT) << long(ECONNREFUSED) << HttpFailure::Refused;
    QTest::newRow("connect timed out")
        << int(CURLE_COULDNT_CONNECT) << long(ETIMEDOUT) << HttpFailure::NoAnswer;
    QTest::newRow("host unreachable")
        << int(CURLE_COULDNT_CONNECT) << long(EHOSTUNREACH) << HttpFailure::NoAnswer;
    QTest::newRow("network unreachable: told in the transport's words")
        << int(CURLE_COULDNT_CONNECT) << long(ENETUNREACH) << HttpFailure::Other;
    QTest::newRow("unknown host") << int(CURLE_COULDNT_RESOLVE_HOST) << 0L
                                  << HttpFailure::CannotResolve;
    QTest::newRow("unknown proxy")
        << int(CURLE_COULDNT_RESOLVE_PROXY) << 0L << HttpFailure::CannotResolve;
    QTest::newRow("time-out") << int(CURLE_OPERATION_TIMEDOUT) << 0L << HttpFailure::NoAnswer;
    QTest::newRow("empty reply") << int(CURLE_GOT_NOTHING) << 0L << HttpFailure::ConnectionDropped;
    QTest::newRow("reset while reading")
        << int(CURLE_RECV_ERROR) << long(ECONNRESET) << HttpFailure::ConnectionDropped;
    QTest::newRow("reply cut short")
        << int(CURLE_PARTIAL_FILE) << 0L << HttpFailure::ConnectionDropped;
    QTest::newRow("certificate not trusted")
        << int(CURLE_PEER_FAILED_VERIFICATION) << 0L << HttpFailure::Certificate;
    QTest::newRow("no certificate store")
        << int(CURLE_SSL_CACERT_BADFILE) << 0L << HttpFailure::Certificate;
    QTest::newRow("cancelled") << int(CURLE_ABORTED_BY_CALLBACK) << 0L << HttpFailure::Other;
    QTest::newRow("reply too large") << int(CURLE_WRITE_ERROR) << 0L << HttpFailure::Other;
}

void tst_TransportFailure::failureOf()
{
    QFETCH(int, code);
    QFETCH(long, systemError);
    QFETCH(HttpFailure, failure);
    QCOMPARE(FailureOf(CURLcode(code), systemError), failure);
}

void tst_TransportFailure::reasonLines_data()
{
    QTest::addColumn<HttpFailure>("failure");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QStringList>("lines");

    const QString page = kPortal + u"/headlines/dom/"_s;
    const QStringList portalDown{
        u"接続を拒否されました: "_s + page,
        u"ポータル http://127.0.0.1:8642 が起動していない可能性があります。"_s,
        u"起動するには: systemctl --user start varnholt-portal.service"_s,
        u"(ビルドしたものなら: varnholt-portal &)"_s};
    QTest::newRow("portal refuses: may not be running")
        << HttpFailure::Refused << page << portalDown;
    QTest::newRow("another port refuses: no word of the portal")
        << HttpFailure::Refused << u"http://127.0.0.1:8643/a"_s
        << QStringList{u"接続を拒否されました: http://127.0.0.1:8643/a"_s};
    QTest::newRow("cannot resolve")
        << HttpFailure::CannotResolve << u"http://news.invalid/a"_s
        << QStringList{u"サーバー名を解決できません: http://news.invalid/a"_s};
    QTest::newRow("no answer from the portal")
        << HttpFailure::NoAnswer << page << QStringList{u"応答がありません: "_s + page};
    QTest::newRow("dropped") << HttpFailure::ConnectionDropped << page
                             << QStringList{u"接続が切れました: "_s + page};
    QTest::newRow("certificate") << HttpFailure::Certificate << u"https://example.org/a"_s
                                 << QStringList{u"証明書を確認できません: https://example.org/a"_s};
    QTest::newRow("other: the transport's own words")
        << HttpFailure::Other << page
        << QStringList{u"取得できませんでした: "_s + page + u": more than 5 redirects"_s};
}

void tst_TransportFailure::reasonLines()
{
    QFETCH(HttpFailure, failure);
    QFETCH(QString, url);
    QFETCH(QStringList, lines);

    HttpReply reply;
    reply.failure = failure;
    reply.error = url + u": more than 5 redirects"_s;

    AddressReader http;
    QCOMPARE(FailureReasonLines(http, reply, url, kPortal), lines);
    QCOMPARE(IsPortalRefusal(http, reply, url, kPortal), lines.size() > 1);
    // A run without a portal address tells no remedy.
    QCOMPARE(FailureReasonLines(http, reply, url, QString()), lines.first(1));
}

QTEST_GUILESS_MAIN(tst_TransportFailure)
#include "tst_transportfailure.moc"
