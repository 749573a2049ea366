#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <chrono>

// How an article's text is found: cut from its page automatically, taken from the feed, or
// selected on the page by an XPath expression.
struct TextRule
{
    enum class Kind { Auto, Feed, XPath };
    Kind kind = Kind::Auto;
    QString xpath;
};

struct CategoryFeeds
{
    QList<QUrl> feeds;
    TextRule text;
    // Non-empty: only items whose title contains one of these words are served.
    QStringList match;
};

// The gateway's own settings, from the [portal] section.
struct GatewaySettings
{
    QString contact; // goes into the User-Agent
    std::chrono::seconds refresh{10 * 60};
    int keepDays = 14;
    std::chrono::milliseconds delay{1000};
    int itemsPerPage = 20;
    // Hosts whose article pages are never fetched: their items always get the feed's text.
    QStringList feedTextHosts;
};

struct FeedsConfig
{
    QMap<QString, CategoryFeeds> categories; // by code without the slash: "dom"
    GatewaySettings settings;
};

struct FeedsFileResult
{
    bool ok = false;
    FeedsConfig config;
    QString error; // "<file>:<line>: <what>"
};

// text: the file's UTF-8 contents; name: how errors name the file.
FeedsFileResult ParseFeedsFile(const QByteArray &text, const QString &name);
FeedsFileResult ReadFeedsFile(const QString &path);
