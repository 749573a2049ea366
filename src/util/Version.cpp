#include "util/Version.h"

#include "VarnholtVersion.h"

using namespace Qt::StringLiterals;

QString ProductName()
{
    return u"Varnholt"_s;
}

QString VersionNumber()
{
    return QStringLiteral(VARNHOLT_VERSION_TEXT);
}

QString VersionText()
{
    return u" Ver."_s + VersionNumber();
}

QString ProgramTitle()
{
    return ProductName() + VersionText();
}

QString UserAgent()
{
    return ProductName() + u'/' + VersionNumber();
}
