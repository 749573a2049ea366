#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The portal's command line.
struct PortalOptions
{
    int port = 8642;
    QString bindAddress = QStringLiteral("127.0.0.1");
    QString logFile;         // empty: no request log
    QDate today;             // invalid: the local clock decides
    QString rootFolder;      // serve this folder instead of the sample corpus
    qsizetype generate = 0;  // > 0: serve a generated corpus of this many articles
    qsizetype pageSize = 50; // headlines to a generated list page
    QString extractFile;     // print this saved page's main text instead of serving
    QString extractAddress;  // where that page came from
    QString feedsFile;       // gateway mode: serve the feeds this file names
    QString cacheFolder;     // gateway mode: where the archive lives

    enum class Outcome { Run, ShowHelp, ShowVersion, Fail };
    Outcome outcome = Outcome::Run;
    QString error; // for Fail: what was wrong, naming the option
};

// arguments: the whole command line, program name first.
PortalOptions ParsePortalOptions(const QStringList &arguments);
QString PortalHelpText();
