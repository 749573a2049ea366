#pragma once

#include "MainText.h"

#include <QString>

// Whether an automatic extraction is served as the article instead of the feed's summary. It
// must say more than the summary, and either be long enough to be an article
// (kShortestMainText), or hold the summary and add to it (short wire items are whole
// articles), or be a sentence or more from a clear article container. Anything else, a caption
// or a teaser found where nothing looks like an article, is not worth the summary's place.
bool AcceptsExtraction(const MainTextResult &extraction, const QString &summary);

// In characters (code points, white space not counted): the least an item from a clear article
// container says, and the least an extraction must add to the summary it holds.
inline constexpr qsizetype kShortestWholeItem = 40;
inline constexpr qsizetype kLeastAddition = 10;
