#include "FaultPages.h"

#include "NewsCorpus.h"
#include "PageTemplates.h"
#include "engine/PortalMarkers.h"
#include "util/CodePage.h"

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;

namespace FaultPages {

namespace {

QString articleText()
{
    ArticleContent content;
    content.title = u"障害試験用の記事"_s;
    content.source = u"サンプル通信"_s;
    content.day = QDate(2001, 12, 31);
    content.time = u"12:00"_s;
    content.paragraphs = {
        u"これは取得の試験に使う短い記事です。本文は二つの段落からできています。"_s,
        u"二つ目の段落、ここで記事は終わります。"_s,
    };
    return PageTemplates::FormatArticlePage(content);
}

} // namespace

QByteArray Article()
{
    return CodePage::toEucJp(articleText());
}

QByteArray ArticleWithLf()
{
    QByteArray page = Article();
    page.replace("\r\n", "\n");
    return page;
}

QByteArray ArticleWithNul()
{
    QByteArray page = Article();
    // After the line break and six two-byte characters: inside the text, between characters.
    const qsizetype at = page.indexOf(PortalMarkers::TextStart.toLatin1()) +
                         PortalMarkers::TextStart.size() + 2 + 2 * 6;
    page.insert(at, '\0');
    return page;
}

QByteArray EndlessList(qint64 number)
{
    PageTemplates::ListPage list;
    list.code = u"dom"_s;
    list.day = QDate(2001, 12, 31);
    list.page = int(std::min<qint64>(number, 1 << 30));
    list.pageCount = list.page + 1;
    list.nextPath = u"/fault/endless/%1"_s.arg(number + 1);
    return CodePage::toEucJp(PageTemplates::FormatListPage(list));
}

QByteArray SlowList(qint64 delayMs, qint64 number)
{
    constexpr int kHeadlines = 10;
    PageTemplates::ListPage list;
    list.code = u"dom"_s;
    list.day = QDate(2001, 12, 31);
    list.page = int(std::min<qint64>(number, 1 << 30));
    list.pageCount = list.page + 1;
    for (int i = 0; i < kHeadlines; ++i) {
        // A delay of its own makes every article's address unique.
        const qint64 delay = delayMs + (number % 100'000) * kHeadlines + i;
        list.items.append({u"/fault/delay/%1"_s.arg(delay), u"速報 %1-%2"_s.arg(number).arg(i),
                           u"共同"_s, u"12:34"_s});
    }
    list.nextPath = u"/fault/slow-list/%1/%2"_s.arg(delayMs).arg(number + 1);
    return CodePage::toEucJp(PageTemplates::FormatListPage(list));
}

QByteArray Garbage()
{
    std::mt19937 generator(8642);
    QByteArray bytes(4096, Qt::Uninitialized);
    std::generate(bytes.begin(), bytes.end(), [&generator] { return char(generator() & 0xff); });
    return bytes;
}

PaddedArticle::PaddedArticle(qint64 size)
    : m_unit(CodePage::toEucJp(u"　これは大きなページを作るための詰め物の行です。<br>\r\n"_s))
{
    const QByteArray page = Article();
    const qsizetype end = page.indexOf(PortalMarkers::TextEnd.toLatin1());
    m_head = page.left(end);
    m_tail = page.mid(end);
    const qint64 bare = page.size();
    m_size = std::max(size, bare);
    m_padding = m_size - bare;
    m_spaces = m_padding % m_unit.size();
}

QByteArray PaddedArticle::slice(qint64 offset, qint64 maxLength) const
{
    QByteArray out;
    const qint64 end = std::min(m_size, offset + maxLength);
    out.reserve(end - offset);
    const qint64 headEnd = m_head.size();
    const qint64 paddingEnd = headEnd + m_padding;
    while (offset < end) {
        const qint64 want = end - offset;
        qint64 taken = 0;
        if (offset < headEnd) {
            taken = std::min(want, headEnd - offset);
            out.append(m_head.mid(offset, taken));
        } else if (offset < headEnd + m_spaces) {
            taken = std::min(want, headEnd + m_spaces - offset);
            out.append(QByteArray(taken, ' '));
        } else if (offset < paddingEnd) {
            const qint64 inUnit = (offset - headEnd - m_spaces) % m_unit.size();
            taken = std::min({want, m_unit.size() - inUnit, paddingEnd - offset});
            out.append(m_unit.mid(inUnit, taken));
        } else {
            taken = std::min(want, m_size - offset);
            out.append(m_tail.mid(offset - paddingEnd, taken));
        }
        offset += taken;
    }
    return out;
}

} // namespace FaultPages
