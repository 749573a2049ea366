#include "engine/PageFetcher.h"

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

PageFetcher::PageFetcher(HttpTransport &http, Prompter &prompter, DebugLog &log)
    : m_http(http)
    , m_prompter(prompter)
    , m_log(log)
{}

FetchedPage PageFetcher::GetHTML(const QString &url)
{
    m_prompter.pageFetchStarted();
    m_log.write(url + u"をGetしています。"_s);

    FetchedPage page;
    bool retried = false;
    for (;;) {
        HttpReply reply = m_http.get(url);
        if (!reply.ok) {
            m_log.write(u"Getがタイムアウトしました。"_s);
            m_log.write(reply.error);
            // The fixed question, then what failed and where.
            if (m_prompter.askYesNo(
                    u"処理がタイムアウトしました。\r\n再度取得しますか？\r\n\r\n"_s + reply.error,
                    MessageIcon::Stop))
                continue;
            m_missed.append(url);
            return page;
        }

        page.text = trimSpaces(withCrLf(ConvertCharset(reply.body)));
        reply.body = QByteArray(); // the bytes are not needed beside the text
        if (!page.text.isEmpty())
            break;

        if (retried) {
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
