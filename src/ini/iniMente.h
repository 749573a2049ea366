#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <utility>

// An INI document held as an ordered list of line entries: items, verbatim remark lines
// ("*REM*") and deleted items ("*DEL*"). Section headers are remarks: every item name lives in
// one namespace, the first match wins, and lookups ignore letter case. Files are CP932.
//
// Values are QVariant: an invalid QVariant is the empty value and equals the empty text;
// numbers are written in plain decimal, truth values as "True"/"False".
class iniMente
{
public:
    // Remembers the file name and loads the file when it exists as an ordinary, visible file.
    bool iniLoader(const QString &Filename);
    // Why the last load stopped part-way, naming the line ("line 3: ...") or the file's error;
    // empty after a load that read the whole file or found no file.
    QString iniLoadError() const { return m_loadError; }
    void SetiniFilename(const QString &FilenameofINI);
    QString GetiniFilename() const;

    QVariant GetiniValue(const QString &ItemName, const QVariant &Default) const;
    bool SetiniValue(const QString &ItemName, const QVariant &ItemValue);
    bool DeliniValue(const QString &ItemName);
    // A series index is 16-bit: DeliniGroup stops after GroupName32767 and then answers false;
    // SearchinGroup answers -1 when it gets there without a match.
    bool DeliniGroup(const QString &GroupName);
    qint16 SearchinGroup(const QString &GroupName, const QVariant &SearchItem, bool NoCheckCase);
    // A non-empty GroupName starts a walk over the entries whose names begin with it (any
    // letter case); an empty one continues it. ("", "") when the walk has run out.
    std::pair<QString, QVariant> GetiniGroup2(const QString &GroupName);
    void MakeiniItem(const QString &ItemName, const QVariant &ItemValue);

    // Writes the document (CP932, CR LF) through QSaveFile. False on any error; error, when
    // given, receives the path and the reason.
    bool iniSaver(const QString &Filename, QString *error = nullptr);
    bool iniSaverSameFilename(QString *error = nullptr);
    QString iniSavertoVariable() const;

    qint32 iniLast() const { return m_iniLast; }

private:
    bool iniParser(const QString &Filename);
    // Index of the first entry whose name matches, ignoring letter case; -1 when none does.
    qint32 indexOf(const QString &ItemName) const;
    void appendEntry(const QString &ItemName, const QVariant &ItemValue);

    QStringList m_iniItem;
    QVariantList m_iniValue;
    qint32 m_iniLast = -1;
    QString m_iniFilename;
    QString m_loadError;
    // Lower-cased name -> first index with it. Names never change once stored and entries are
    // only ever appended, so the first match stays valid until the next load.
    QHash<QString, qint32> m_firstIndex;
    QString m_GroupPrefix;
    // Wide enough for every index of the document, so that a walk never overflows.
    qint32 m_GroupNext = 0;
};
