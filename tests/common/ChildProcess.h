#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The environment a scheduler gives a built program: no display, the settings record under
// root/config, the program folder root/home, and user as the only login name (none if empty).
inline QProcessEnvironment headlessEnvironment(const QString &root, const QString &user)
{
    using namespace Qt::StringLiterals;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s,
                                u"UserName"_s, u"USER"_s, u"LOGNAME"_s})
        environment.remove(name);
    if (!user.isEmpty())
        environment.insert(u"USER"_s, user);
    environment.insert(u"XDG_CONFIG_HOME"_s, root + u"/config"_s);
    environment.insert(u"XDG_DATA_HOME"_s, root + u"/data"_s);
    environment.insert(u"VARNHOLT_HOME"_s, root + u"/home"_s);
    return environment;
}

struct ChildRun
{
    int exitCode = -1; // -1: crashed, or did not end within a minute
    QString output;
    QString errors;
};

// Runs program to its end with nothing on standard input.
inline ChildRun runToEnd(const QString &program, const QStringList &arguments,
                         const QProcessEnvironment &environment)
{
    using namespace Qt::StringLiterals;
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    ChildRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        run.errors = program + u" did not finish"_s;
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.output = QString::fromUtf8(process.readAllStandardOutput());
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}
