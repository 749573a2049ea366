#include "ini/iniMente.h"
#include "ini/iniValueText.h"
#include "util/CodePage.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// Line positions are 16-bit in the file format: a longer stretch is not a valid line.
constexpr qsizetype MaxLinePosition = 32767;

// Only the very first character decides; leading spaces are not skipped.
bool isRemarkLine(QStringView line)
{
    if (!line.contains(u'='))
        return true;
    const QChar first = line.front();
    return first == u';' || first == u'#' || first == u'/' || first == u'[';
}

QStringView trimmedSpaces(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.sliced(begin, end - begin);
}

// Ordinary visible files only: a folder or a dot-file counts as missing.
bool isOrdinaryFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.fileName().startsWith(u'.');
}

} // namespace

bool iniMente::iniLoader(const QString &Filename)
{
    m_iniFilename = Filename;
    m_loadError.clear();
    if (!isOrdinaryFile(Filename))
        return false;
    return iniParser(Filename);
}

void iniMente::SetiniFilename(const QString &FilenameofINI)
{
    m_iniFilename = FilenameofINI;
}

QString iniMente::GetiniFilename() const
{
    return m_iniFilename;
}

bool iniMente::iniParser(const QString &Filename)
{
    m_iniItem.clear();
    m_iniValue.clear();
    m_firstIndex.clear();
    m_iniLast = -1;

    QFile file(Filename);
    if (!file.open(QIODevice::ReadOnly)) {
        m_loadError = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_loadError = file.errorString();
        return false;
    }
    // CR cannot be part of a CP932 double byte, so splitting after decoding finds the same lines.
    const QString content = CodePage::fromCp932(bytes);
    const QStringView text(content);

    qsizetype pos = 0;
    qint32 lineNumber = 0;
    while (pos < text.size()) {
        ++lineNumber;
        // A line ends at CR LF or a lone CR; a lone LF stays inside the line.
        qsizetype end = text.indexOf(u'\r', pos);
        qsizetype next = end + 1;
        if (end < 0) {
            end = text.size();
            next = end;
        } else if (next < text.size() && text[next] == u'\n') {
            ++next;
        }
        const QStringView line = text.sliced(pos, end - pos);
        pos = next;

        const qsizetype equals = line.indexOf(u'=');
        if (equals >= 0 &&
            (equals + 1 > MaxLinePosition || line.size() - equals - 1 > MaxLinePosition)) {
            m_loadError = u"line %1 is longer than an INI line may be (%2 characters before or "
                          "after its \"=\")"_s.arg(lineNumber)
                              .arg(MaxLinePosition);
            return false;
        }

        QString name;
        QVariant value;
        if (isRemarkLine(line)) {
            name = iniValue::RemarkName.toString();
            value = line.toString();
        } else {
            name = trimmedSpaces(line.first(equals)).toString();
            QStringView rest = line.sliced(equals + 1);
            while (!rest.isEmpty() && rest.front() == u' ')
                rest = rest.sliced(1);
            if (!rest.isEmpty())
                value = rest.toString();
        }
        appendEntry(name, value);
    }
    return true;
}
