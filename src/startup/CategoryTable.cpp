#include "startup/CategoryTable.h"

using namespace Qt::StringLiterals;

// Index-aligned with the category check boxes and the stored Category list, so the two
// placeholder rows keep their slots.
const std::array<CategoryInfo, CategoryCount> Categories{{
    {u"dom/", u"国内"},
    {u"int/", u"海外"},
    {u"bus/", u"経済"},
    {u"brf/", u"マーケット・サマリー"},
    {u"biz/", u"企業"},
    {u"---/", u"天気"},
    {u"ent/", u"エンターテインメント"},
    {u"spo/", u"スポーツ"},
    {u"---/", u"地域"},
    {u"nkn/", u"産業"},
    {u"cpt/", u"コンピュータ"},
    {u"clm/", u"ニュース・コラム"},
}};

QString PortalBaseURL(const QString &configured)
{
    QString address = configured;
    if (address.isEmpty())
        return u"http://127.0.0.1:8642"_s;
    // Entries start with "/", so a slash left at the end would double it.
    if (address.endsWith(u'/'))
        address.chop(1);
    return address;
}

void CategoryTable::MakeCategoryURL(const QString &dayPrefix)
{
    for (int i = 0; i < CategoryCount; ++i)
        CategoryURL[std::size_t(i)] =
            u"/headlines/"_s + dayPrefix + QString::fromUtf16(Categories[std::size_t(i)].code);
}
