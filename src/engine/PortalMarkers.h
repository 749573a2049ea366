#pragma once

#include <QStringView>

// The portal's page form: what the engine looks for in a page, and what the bundled portal and
// the test pages write. Searches are exact and case-sensitive.
namespace PortalMarkers {

// Headline list pages.
inline constexpr QStringView NoArticle = u"<!-- NO_ARTICLE1 -->"; // nothing was published that day
inline constexpr QStringView Headlines = u"<!-- GEN_HEADLINES -->"; // the list follows
inline constexpr QStringView ItemStart = u"<li><a href="; // then the target, ">", the title
inline constexpr QStringView TitleEnd = u"</a>";
inline constexpr QStringView ListEnd = u"</ul>";
// The next list page: the last link before the last "次ページ".
inline constexpr QStringView LinkStart = u"<a href=";
inline constexpr QStringView NextPage = u"次ページ";

// Article pages: the text lies between the two.
inline constexpr QStringView TextStart = u"<!-- TextStart -->";
inline constexpr QStringView TextEnd = u"<!-- TextEnd -->";

} // namespace PortalMarkers
