#pragma once

#include <QString>
#include <QStringView>

// The article text of an article page: what lies between "<!-- TextStart -->" and the first
// "<!-- TextEnd -->", with the page's own CR LF pairs removed and every "<br>" (any letter case)
// turned into CR LF. Empty when a marker is missing or the markers stand in the wrong order.
QString ExtractArticleText(QStringView html);
