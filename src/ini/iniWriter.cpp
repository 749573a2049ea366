#include "ini/iniMente.h"
#include "ini/iniValueText.h"
#include "util/CodePage.h"
#include "util/SafeWrite.h"

using namespace Qt::StringLiterals;

bool iniMente::iniSaver(const QString &Filename, QString *error)
{
    m_iniFilename = Filename;
    // Nothing to write: the file is not created, opened or truncated.
    if (m_iniLast < 0)
        return true;
    if (Filename.isEmpty()) {
        if (error)
            *error = u"cannot save the INI document: no file name given"_s;
        return false;
    }
    const FileResult result =
        WriteFileAtomically(Filename, CodePage::toCp932(iniSavertoVariable()));
    if (!result && error)
        *error = result.error;
    return result.ok;
}

bool iniMente::iniSaverSameFilename(QString *error)
{
    const QString filename = m_iniFilename;
    return iniSaver(filename, error);
}

QString iniMente::iniSavertoVariable() const
{
    QString text;
    for (qint32 i = 0; i <= m_iniLast; ++i) {
        const QVariant &value = m_iniValue.at(i);
        if (iniValue::isDeletedMark(value))
            continue;
        const QString &name = m_iniItem.at(i);
        if (name == iniValue::RemarkName)
            text += iniValue::text(value) % u"\r\n"_s;
        else
            text += name % u" = "_s % iniValue::text(value) % u"\r\n"_s;
    }
    return text;
}
