#include "engine/PageFetcher.h"

#include "engine/FailureReason.h"
#include "engine/FetchProgress.h"
#include "engine/HttpTransport.h"
#include "util/Charset.h"
#include "util/DebugLog.h"
#include "util/Prompter.h"

using namespace Qt::StringLiterals;

namespace {

// Leading and trailing spaces only: a page of tabs or line breaks is not empty.
// In place: a page is only copied where it has spaces to lose.
QString trimSpaces(QString text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    text.truncate(end);
    text.remove(0, begin);
    return text;
}

QString withCrLf(QString text)
{
    if (!text.contains(u"\r\n"_s))
        text.replace(u'\n', u"\r\n"_s);
    return text;
}

} // namespace

QString ConvertCharset(QByteArrayView bytes)
{
    // The text ends at its first NUL. Only a NUL byte decodes to one, and no EUC-JP sequence
    // holds a NUL after its first byte, so the bytes behind it need no decoding.
    const qsizetype nul = bytes.indexOf('\0');
    return Charset::DecodeAs(nul < 0 ? bytes : bytes.first(nul), u"EUC-JP");
}

PageFetcher::PageFetcher(HttpTransport &http, Prompter &prompter, DebugLog &log,
                         FetchProgress *progress, QString BaseURL)
    : m_http(http)
    , m_prompter(prompter)
    , m_log(log)
    , m_progress(progress)
    , m_BaseURL(std::move(BaseURL))
{}

bool PageFetcher::mayGoOn() const
{
    return !m_progress || m_progress->mayGoOn();
}

void PageFetcher::expect(const QString &url)
{
    // A transport with several connections would put the request on the wire at once.
    if (mayGoOn())
        m_http.expect(url);
}

FetchedPage PageFetcher::GetHTML(const QString &url)
{
    m_prompter.pageFetchStarted();
    m_log.write(url + u"をGetしています。"_s);

    FetchedPage page;
    const auto cancelled = [&page] {
        page.cancelled = true;
        return page;
    };
    bool retried = false;
    for (;;) {
        if (!mayGoOn())
            return cancelled();
        HttpReply reply = m_http.get(url);
        if (!reply.ok) {
            m_log.write(u"Getがタイムアウトしました。"_s);
            m_log.write(reply.error);
            const QStringList reason = FailureReasonLines(m_http, reply, url, m_BaseURL);
            for (const QString &line : reason)
                m_log.write(line);
            if (!mayGoOn())
                return cancelled();
            // The fixed question, then what failed and where.
            if (m_prompter.askYesNo(
                    u"処理がタイムアウトしました。\r\n再度取得しますか？\r\n\r\n"_s +
                        reason.join(u"\r\n"_s),
                    MessageIcon::Stop))
                continue;
            m_missed.append(url);
            m_portalRefused = m_portalRefused || IsPortalRefusal(m_http, reply, url, m_BaseURL);
            return page;
        }

        page.text = trimSpaces(withCrLf(ConvertCharset(reply.body)));
        reply.body = QByteArray(); // the bytes are not needed beside the text
        if (!page.text.isEmpty())
            break;

        if (retried) {
            if (!mayGoOn())
                return cancelled();
            if (!m_prompter.askYesNo(
                    u"データの取得に失敗しました。\r\n再度取得しますか？\r\n\r\n"_s + url +
                        u" (空のページが返りました)"_s,
                    MessageIcon::Stop)) {
                m_log.write(u"HTMLが取得できなかったため取得中止(←回線未接続？)"_s);
                page.gaveUp = true;
                return page;
            }
            m_log.write(u"HTMLが取得できなかった。ユーザーにより再々取得開始。"_s);
        }
        m_log.write(u"HTMLが取得できなかった。再取得開始。"_s);
        retried = true;
    }

    m_log.write(url + u"をGetしました。"_s);
    return page;
}
