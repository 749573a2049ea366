#pragma once

#include "PageSource.h"

#include <QString>

// Serves a folder of pages: "/x/" is x/index.html, "/x" is x.html when it exists, else the file
// x itself. ".html" files hold UTF-8 text and go out as EUC-JP; every other file goes out byte
// for byte, so a corpus can hold broken encodings or garbage on purpose.
class RootFolder final : public PageSource
{
public:
    explicit RootFolder(const QString &folder);

    PageReply page(const QString &path) const override;

    // The file a request path maps to, or an empty text when it is refused or missing.
    QString fileFor(const QString &path) const;

private:
    QString m_folder; // canonical, without trailing slash
};
