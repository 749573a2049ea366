#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

// One collected headline. Body is held as CP932 bytes, the form it is written in, so that a
// long run does not keep every article as UTF-16.
struct ArticleRecord
{
    QString URL;
    QString Title;
    QByteArray Body;     // CP932
    qint32 BodyLost = 0; // characters of the body CP932 could not hold: "?" in Body
    QString KeyWord;     // matched keyword, "その他" or "記事なし"
    bool URLOnly = false;
};

// The run's articles in discovery order, with an index so that IsListedURL stays O(1).
class ArticleList
{
public:
    void ClearArticles();
    // Appends an empty record and returns its index; set its URL with setURL.
    qint32 AddArticle();
    void setURL(qint32 index, const QString &url);
    bool IsListedURL(const QString &url) const;

    qint32 ArticleCount() const { return qint32(m_records.size()); }
    ArticleRecord &operator[](qint32 index) { return m_records[size_t(index)]; }
    const ArticleRecord &operator[](qint32 index) const { return m_records[size_t(index)]; }

private:
    std::vector<ArticleRecord> m_records;
    QHash<QString, qint32> m_indexByURL; // first record holding each URL
};
