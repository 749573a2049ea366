#pragma once

#include "FaultLog.h"
#include "GatewayParts.h"
#include "ManualClock.h"
#include "ScriptedUpstream.h"
#include "archive/Archive.h"
#include "feeds/FeedsFile.h"

#include <QStringList>
#include <QTemporaryDir>

// Everything a piece of the gateway works with, for a test without sockets: a feeds file to
// fill in, an archive in a temporary folder, a table of replies for the sources, a clock the
// test moves, and the fault lines said.
struct GatewayWorld
{
    explicit GatewayWorld(const QDateTime &start)
        : clock(start)
    {
        opened = archive.open(dir.filePath(QStringLiteral("archive.sqlite"))).ok;
    }

    QTemporaryDir dir;
    FeedsConfig config;
    Archive archive;
    bool opened = false;
    ScriptedUpstream upstream;
    ManualClock clock;
    QStringList said;
    FaultLog faults{[this](const QString &line) {
        said << line;
    }};
    GatewayParts parts{config, archive, upstream, clock, faults};
};
