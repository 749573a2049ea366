#pragma once

#include <QString>
#include <QStringView>

class ArticleList;
class DebugLog;
class FetchProgress;
class KeyWordMatcher;
class SavedAddresses;

// What ParseHeadlines reads and where it records; everything outlives the call.
struct HeadlineContext
{
    const KeyWordMatcher &matcher;
    qint16 KeyMode; // 0 keyword headlines only, 1 plus the others' addresses, 2 every headline
    const QString &BaseURL;
    ArticleList &articles;
    DebugLog &log;
    FetchProgress &progress;
    const SavedAddresses *saved = nullptr; // headlines at these addresses are left out
};

// Reads one headline list page and appends the headlines that the keyword mode asks for.
// A malformed item (a link without ">" or a title without "</a>") ends the page's scan.
void ParseHeadlines(QStringView page, HeadlineContext &context);
