#pragma once

#include <QString>

// What a file operation tells its caller: success, or a sentence naming the path and the reason.
struct FileResult
{
    bool ok = true;
    QString error; // e.g. "/home/me/clip/VHT.qfw: No space left on device"

    explicit operator bool() const { return ok; }
    static FileResult success() { return {}; }
    static FileResult failure(const QString &path, const QString &reason)
    {
        return {false, path + QStringLiteral(": ") + reason};
    }
};
