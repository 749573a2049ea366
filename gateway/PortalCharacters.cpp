#include "PortalCharacters.h"

#include "util/CodePage.h"

#include <algorithm>
#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

struct Alike
{
    char32_t from;
    const char16_t *to;
};

// Sorted by `from`. Every target is a character the portal carries (tst_pagerendering checks).
// Dashes: the em dash is the horizontal bar Japanese text sets, the narrower dashes a hyphen.
// Middle dots and bullets: the katakana middle dot. Quotes without a JIS form: the nearest one
// that has it. Waves: the full-width tilde, which is what EUC-JP's wave dash reads as.
constexpr std::array kLookAlikes{
    Alike{0x00A2, u"￠"}, // cent sign
    Alike{0x00A3, u"￡"}, // pound sign
    Alike{0x00A5, u"￥"}, // yen sign
    Alike{0x00A6, u"￤"}, // broken bar
    Alike{0x00AB, u"≪"},  // left guillemet
    Alike{0x00AC, u"￢"}, // not sign
    Alike{0x00B7, u"・"}, // middle dot
    Alike{0x00BB, u"≫"},  // right guillemet
    Alike{0x02DC, u"~"},  // small tilde
    Alike{0x2012, u"-"},  // figure dash
    Alike{0x2013, u"-"},  // en dash
    Alike{0x2014, u"―"},  // em dash
    Alike{0x2016, u"∥"},  // double vertical line
    Alike{0x201A, u"‘"},  // single low quotation mark
    Alike{0x201B, u"‘"},  // single high reversed quotation mark
    Alike{0x201E, u"“"},  // double low quotation mark
    Alike{0x201F, u"“"},  // double high reversed quotation mark
    Alike{0x2022, u"・"}, // bullet
    Alike{0x2023, u"・"}, // triangular bullet
    Alike{0x2027, u"・"}, // hyphenation point
    Alike{0x2039, u"〈"}, // single left angle quotation mark
    Alike{0x203A, u"〉"}, // single right angle quotation mark
    Alike{0x203E, u"￣"}, // overline
    Alike{0x2043, u"-"},  // hyphen bullet
    Alike{0x2053, u"～"}, // swung dash
    Alike{0x2212, u"－"}, // minus sign
    Alike{0x2219, u"・"}, // bullet operator
    Alike{0x223C, u"～"}, // tilde operator
    Alike{0x22C5, u"・"}, // dot operator
    Alike{0x22EF, u"…"},  // midline horizontal ellipsis
    Alike{0x301C, u"～"}, // wave dash
    Alike{0x301E, u"〟"}, // double prime quotation mark
    Alike{0x3030, u"～"}, // wavy dash
    Alike{0x3099, u"゛"}, // combining voiced sound mark, with nothing to join
    Alike{0x309A, u"゜"}, // combining semi-voiced sound mark, with nothing to join
};
static_assert(std::is_sorted(kLookAlikes.begin(), kLookAlikes.end(),
                             [](const Alike &a, const Alike &b) { return a.from < b.from; }));

QString single(char32_t c)
{
    return QString::fromUcs4(&c, 1);
}

bool holdsAll(QStringView text)
{
    if (text.isEmpty())
        return false;
    // Both ways, so that a character a code page only writes as another (U+301C as EUC-JP's
    // wave dash, which reads back as U+FF5E) counts as that other.
    return CodePage::fromEucJp(CodePage::toEucJp(text)) == text &&
           CodePage::fromCp932(CodePage::toCp932(text)) == text;
}

bool isMark(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing;
}

// The last character of out and the mark as one character, when they make one it holds.
bool joinsLast(QString &out, char32_t mark)
{
    if (out.isEmpty())
        return false;
    const qsizetype last =
        out.size() >= 2 && out.back().isLowSurrogate() ? out.size() - 2 : out.size() - 1;
    const QString joined =
        QString(out.sliced(last) + single(mark)).normalized(QString::NormalizationForm_C);
    if (joined.toUcs4().size() != 1 || !holdsAll(joined))
        return false;
    out.truncate(last);
    out += joined;
    return true;
}

QString withoutAccents(char32_t c)
{
    QString bare;
    for (const char32_t part : single(c).normalized(QString::NormalizationForm_D).toUcs4()) {
        if (!isMark(part))
            bare += single(part);
    }
    return bare;
}

// What stands for c, or nothing: c is dropped (an invisible character, or a mark without any
// form here); a "?" is the caller's.
std::optional<QString> replacement(char32_t c)
{
    if (QChar::category(c) == QChar::Other_Format)
        return QString();
    if (const QString compatible = single(c).normalized(QString::NormalizationForm_KC);
        holdsAll(compatible))
        return compatible;
    if (const QString alike = PortalCharacters::LookAlike(c); !alike.isEmpty())
        return alike;
    if (const QString bare = withoutAccents(c); holdsAll(bare))
        return bare;
    if (isMark(c))
        return QString();
    return std::nullopt;
}

} // namespace

namespace PortalCharacters {

bool Holds(char32_t c)
{
    return holdsAll(single(c));
}

QString LookAlike(char32_t c)
{
    const auto found = std::lower_bound(kLookAlikes.begin(), kLookAlikes.end(), c,
                                        [](const Alike &a, char32_t key) { return a.from < key; });
    return found != kLookAlikes.end() && found->from == c ? QString::fromUtf16(found->to)
                                                          : QString();
}

QString Kept(QStringView text, QList<char32_t> *lost)
{
    if (text.isEmpty() || holdsAll(text))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (Holds(c)) {
            out += single(c);
            continue;
        }
        if (isMark(c) && joinsLast(out, c))
            continue;
        if (const std::optional<QString> stand = replacement(c)) {
            out += *stand;
            continue;
        }
        out += u'?';
        if (lost)
            lost->append(c);
    }
    return out;
}

} // namespace PortalCharacters
