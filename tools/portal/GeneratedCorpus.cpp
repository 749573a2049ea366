#include "GeneratedCorpus.h"

#include "HeadlinePath.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QStringList kSubjects = {u"あけぼの市"_s,    u"しらかば町"_s, u"ななつ島"_s,
                               u"みずなぎ県"_s,    u"ためし電機"_s, u"みほん食品"_s,
                               u"あおぞら自動車"_s};
const QStringList kEvents = {u"新しい計画を発表"_s, u"実験を開始"_s,     u"記録を更新"_s,
                             u"式典を開催"_s,       u"調査結果を公表"_s, u"新施設が完成"_s};
const QStringList kSentences = {
    u"関係者によると、準備は数か月前から進められてきた。"_s,
    u"担当者は、利用する人の声を聞きながら改善を続けると話している。"_s,
    u"周辺の地域からも関心が寄せられており、見学の申し込みが相次いでいる。"_s,
    u"今後の予定については、来月にも詳しい内容が示される見通しだ。"_s,
    u"専門家は、長い目で成果を見守る必要があると指摘している。"_s,
    u"地元の住民からは、期待と不安の入り混じった声が聞かれた。"_s,
    u"費用の一部は、国と県の補助金でまかなわれる。"_s,
    u"同様の取り組みは、ほかの地域でも検討されている。"_s,
};

// The generated number ("yymmdd/<n>", 1-based) when id names one of today's articles.
qsizetype numberOf(const QString &id, QDate today, qsizetype articleCount)
{
    const QString prefix = DayStamp(today) + u'/';
    if (!id.startsWith(prefix))
        return 0;
    bool ok = false;
    const qsizetype number = id.mid(prefix.size()).toLongLong(&ok);
    return ok && number >= 1 && number <= articleCount ? number : 0;
}

} // namespace

GeneratedCorpus::GeneratedCorpus(qsizetype articleCount, qsizetype pageSize)
    : m_articleCount(articleCount)
    , m_pageSize(pageSize)
    , m_codes(HeadlineCodes())
{}

QString GeneratedCorpus::title(qsizetype number) const
{
    return u"速報：%1、%2(第%3報)"_s.arg(kSubjects.at(number % kSubjects.size()),
                                         kEvents.at(number % kEvents.size()),
                                         QString::number(number));
}

QString GeneratedCorpus::time(qsizetype number) const
{
    const qsizetype minutes = (number * 7) % (24 * 60);
    return u"%1:%2"_s.arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

qsizetype GeneratedCorpus::headlineCount(QDate, int daysAgo, const QString &code) const
{
    const qsizetype slot = m_codes.indexOf(code);
    if (daysAgo != 0 || slot < 0)
        return 0;
    const qsizetype categories = m_codes.size();
    return m_articleCount / categories + (slot < m_articleCount % categories ? 1 : 0);
}

QList<Headline> GeneratedCorpus::headlines(QDate today, int daysAgo, const QString &code,
                                           qsizetype from, qsizetype count) const
{
    QList<Headline> items;
    const qsizetype end = std::min(from + count, headlineCount(today, daysAgo, code));
    const qsizetype slot = m_codes.indexOf(code);
    for (qsizetype k = from; k < end; ++k) {
        const qsizetype number = slot + k * m_codes.size() + 1;
        items.append({u"/article/%1/%2"_s.arg(DayStamp(today)).arg(number), title(number),
                      u"サンプル通信"_s, time(number)});
    }
    return items;
}

std::optional<ArticleContent> GeneratedCorpus::article(QDate today, const QString &id) const
{
    const qsizetype number = numberOf(id, today, m_articleCount);
    if (number == 0)
        return std::nullopt;
    // About 1.5 KB in EUC-JP: six paragraphs of four sentences.
    QStringList paragraphs;
    for (qsizetype p = 0; p < 6; ++p) {
        QString paragraph = p == 0 ? title(number).mid(3) + u"。"_s : QString();
        for (qsizetype s = 0; s < 4; ++s)
            paragraph += kSentences.at((number + p * 4 + s) % kSentences.size());
        paragraphs.append(paragraph);
    }
    return ArticleContent{title(number), u"サンプル通信"_s, today,
                          time(number),  paragraphs,        number % 5 == 2};
}
