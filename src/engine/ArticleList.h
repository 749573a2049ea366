#pragma once

#include "util/FileResult.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <vector>

class ScratchFile;

// One collected headline. Body is held as CP932 bytes, the form it is written in, so that a
// long run does not keep every article as UTF-16; with a spool (ArticleList::spoolBodiesIn) it
// is not held at all, only where it lies in the spool.
struct ArticleRecord
{
    QString URL;
    QString Title;
    QByteArray Body;         // CP932, when held in memory
    qint64 SpooledAt = -1;   // where the body starts in the list's spool; -1: in Body
    qint64 SpooledBytes = 0; // its length there
    qint32 BodyLost = 0;     // characters of the body CP932 could not hold: "?" in Body
    QString KeyWord;         // matched keyword, "その他" or "記事なし"
    bool URLOnly = false;
};

// The run's articles in discovery order, with an index so that IsListedURL stays O(1).
class ArticleList
{
public:
    ArticleList();
    ~ArticleList();
    ArticleList(ArticleList &&) noexcept;
    ArticleList &operator=(ArticleList &&) noexcept;

    void ClearArticles();
    // Appends an empty record and returns its index; set its URL with setURL.
    qint32 AddArticle();
    void setURL(qint32 index, const QString &url);
    bool IsListedURL(const QString &url) const;

    qint32 ArticleCount() const { return qint32(m_records.size()); }
    ArticleRecord &operator[](qint32 index) { return m_records[size_t(index)]; }
    const ArticleRecord &operator[](qint32 index) const { return m_records[size_t(index)]; }

    // From now on bodies go to a nameless file in folder instead of memory, so that memory stays
    // flat however long the run. Fails with the folder and the reason; bodies then stay in memory.
    FileResult spoolBodiesIn(const QString &folder);
    // Keeps the record's body (CP932) and the number of characters it lost. When the spool
    // fails, it is given up: this body and every later one stay in memory, and the failure is
    // returned (once) so that the run can tell it.
    FileResult setBody(qint32 index, const QByteArray &body, qint32 lost);
    // The record's body, from memory or the spool; a spool that cannot be read back fails.
    FileResult body(qint32 index, QByteArray &out) const;

private:
    std::vector<ArticleRecord> m_records;
    QHash<QString, qint32> m_indexByURL; // first record holding each URL
    std::unique_ptr<ScratchFile> m_spool;
    bool m_spoolWritable = false;
};
