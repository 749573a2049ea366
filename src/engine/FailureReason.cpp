#include "engine/FailureReason.h"

#include "engine/UrlOrigin.h"

using namespace Qt::StringLiterals;

namespace {

QString whatHappened(HttpFailure failure)
{
    switch (failure) {
    case HttpFailure::Refused:
        return u"接続を拒否されました"_s;
    case HttpFailure::CannotResolve:
        return u"サーバー名を解決できません"_s;
    case HttpFailure::NoAnswer:
        return u"応答がありません"_s;
    case HttpFailure::ConnectionDropped:
        return u"接続が切れました"_s;
    case HttpFailure::Certificate:
        return u"証明書を確認できません"_s;
    case HttpFailure::Other:
        break;
    }
    return {};
}

} // namespace

bool IsPortalRefusal(HttpTransport &http, const HttpReply &reply, const QString &url,
                     const QString &BaseURL)
{
    return !reply.ok && reply.failure == HttpFailure::Refused && !BaseURL.isEmpty() &&
           IsSameOrigin(http, url, BaseURL);
}

QStringList FailureReasonLines(HttpTransport &http, const HttpReply &reply, const QString &url,
                               const QString &BaseURL)
{
    const QString what = whatHappened(reply.failure);
    // The transport's own words name the address and say what it could not do.
    QStringList lines;
    if (what.isEmpty())
        lines << u"取得できませんでした: "_s + reply.error;
    else
        lines << what + u": "_s + url;
    if (IsPortalRefusal(http, reply, url, BaseURL)) {
        lines << u"ポータル "_s + BaseURL + u" が起動していない可能性があります。"_s
              << u"起動するには: "_s + PortalServiceStart
              << u"(ビルドしたものなら: "_s + PortalBuildStart + u')';
    }
    return lines;
}
