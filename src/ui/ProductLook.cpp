#include "ui/ProductLook.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QStringList JapaneseFallbacks = {u"IPAPGothic"_s, u"VL PGothic"_s, u"Noto Sans CJK JP"_s,
                                       u"Noto Sans JP"_s, u"TakaoPGothic"_s};

QFont fontOf(const QStringList &families, qreal pointSize)
{
    QFont font;
    font.setFamilies(families + JapaneseFallbacks);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

QFont DesignFont(qreal pointSize, bool bold, bool italic)
{
    QFont font = fontOf({u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s}, pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont WidgetFont(qreal pointSize)
{
    return fontOf({u"MS UI Gothic"_s}, pointSize);
}

static void registerUiResources()
{
    // Q_INIT_RESOURCE must be used outside any namespace.
    Q_INIT_RESOURCE(varnholt_ui);
}

void InitUiResources()
{
    static const bool registered = (registerUiResources(), true);
    Q_UNUSED(registered);
}

QIcon ProgramIcon()
{
    InitUiResources();
    return QIcon(u":/varnholt/varnholt-icon.png"_s);
}
