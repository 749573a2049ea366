#pragma once

#include <QString>
#include <QStringView>

class DebugLog;

// The address of the page that the headline page's "次ページ" link leads to: BaseURL followed by
// the link target. Empty when the page is the category's last (no "次ページ", or no link before
// it).
QString GetNextPageURL(QStringView page, const QString &BaseURL, DebugLog &log);
