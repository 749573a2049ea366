#include "util/CodePage.h"

#include "CodePageTables.h"

#include <cstdint>
#include <cstring>

// The tables are written at build time from iconv's EUC-JP-MS and CP932 mappings; converting
// through them gives iconv's results without its detour through UCS-4 for every character.
namespace {

using CodePageTables::Decoding;
using CodePageTables::Encoding;
using CodePageTables::none;

constexpr bool asciiIsItself(const Decoding &decoding, const Encoding &encoding)
{
    for (char16_t unit = 0; unit < 0x80; ++unit) {
        if (decoding.single[unit] != unit || encoding.units[unit] != unit)
            return false;
    }
    return true;
}
static_assert(asciiIsItself(CodePageTables::EucJp::decoding, CodePageTables::EucJp::encoding));
static_assert(asciiIsItself(CodePageTables::Cp932::decoding, CodePageTables::Cp932::encoding));

// Widens the run of ASCII bytes at `in`, eight at a time while they last.
inline void copyAscii(const std::uint8_t *&in, const std::uint8_t *end, char16_t *&out)
{
    while (end - in >= 8) {
        std::uint64_t word;
        std::memcpy(&word, in, sizeof word);
        if (word & 0x8080808080808080u)
            break;
        for (int i = 0; i < 8; ++i)
            out[i] = in[i];
        in += 8;
        out += 8;
    }
    while (in < end && *in < 0x80)
        *out++ = *in++;
}

// Narrows the run of ASCII units at `in`, four at a time while they last.
inline void narrowAscii(const char16_t *&in, const char16_t *end, char *&out)
{
    while (end - in >= 4) {
        std::uint64_t word;
        std::memcpy(&word, in, sizeof word);
        if (word & 0xFF80FF80FF80FF80u)
            break;
        for (int i = 0; i < 4; ++i)
            out[i] = char(in[i]);
        in += 4;
        out += 4;
    }
    while (in < end && *in < 0x80)
        *out++ = char(*in++);
}

// The unit in the row `key` picks, at the trail byte's column, or none.
inline char16_t lookUp(const std::uint8_t *rowOf, unsigned trailFirst, unsigned trailCount,
                       const char16_t *units, std::uint8_t key, std::uint8_t trail)
{
    const unsigned row = rowOf[key];
    const unsigned column = unsigned(trail) - trailFirst;
    if (row == 0 || column >= trailCount)
        return none;
    return units[(row - 1) * trailCount + column];
}

// Bytes of a code page to UTF-16; every byte that does not start a valid sequence, a sequence
// cut off at the end included, becomes U+FFFD and decoding resumes at the next byte.
template<const Decoding &table>
QString decode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    // No sequence yields more than one unit per byte, so the text is decoded straight into
    // its final storage.
    QString result(bytes.size(), Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(result.data());
    char16_t *out = begin;
    const auto *in = reinterpret_cast<const std::uint8_t *>(bytes.data());
    const auto *const end = in + bytes.size();
    while (in < end) {
        if (*in < 0x80) {
            copyAscii(in, end, out);
            continue;
        }
        const std::uint8_t lead = *in;
        char16_t unit = table.single[lead];
        int length = 1;
        if (unit == none) {
            unit = QChar::ReplacementCharacter;
            if (table.doubleRow[lead] != 0) {
                if (end - in >= 2) {
                    const char16_t found =
                        lookUp(table.doubleRow, table.doubleTrailFirst, table.doubleTrailCount,
                               table.doubleUnits, lead, in[1]);
                    if (found != none) {
                        unit = found;
                        length = 2;
                    }
                }
            } else if (lead == table.tripleLead && end - in >= 3) {
                const char16_t found =
                    lookUp(table.tripleRow, table.tripleTrailFirst, table.tripleTrailCount,
                           table.tripleUnits, in[1], in[2]);
                if (found != none) {
                    unit = found;
                    length = 3;
                }
            }
        }
        *out++ = unit;
        in += length;
    }
    result.truncate(out - begin);
    return result;
}

// UTF-16 text to a byte code page at `out`, which has room for the longest result; returns the
// end. Every character the target cannot hold becomes "?", a surrogate pair being one character
// and a lone surrogate one too; replaced grows by their number.
template<const Encoding &table>
char *encodeInto(QStringView text, char *out, qsizetype &replaced)
{
    const char16_t *in = text.utf16();
    const char16_t *const end = in + text.size();
    while (in < end) {
        const char16_t unit = *in;
        if (unit < 0x80) {
            narrowAscii(in, end, out);
            continue;
        }
        const std::uint16_t value = table.units[unit];
        if (value != none) {
            if (value >= 0x8000) {
                const char pair[2] = {char(value >> 8), char(value & 0xFF)};
                std::memcpy(out, pair, 2);
                out += 2;
            } else if (value < 0x100) {
                *out++ = char(value);
            } else {
                *out++ = char(table.tripleLead);
                *out++ = char((value >> 8) | 0x80);
                *out++ = char((value & 0xFF) | 0x80);
            }
            ++in;
            continue;
        }
        if (QChar::isHighSurrogate(unit) && end - in >= 2 && QChar::isLowSurrogate(in[1])) {
            const char32_t point = QChar::surrogateToUcs4(unit, in[1]);
            in += 2;
            // Tag characters: iconv drops them, neither written nor counted.
            if (point >= table.ignoredFirst && point <= table.ignoredLast)
                continue;
        } else {
            ++in;
        }
        *out++ = '?';
        ++replaced;
    }
    return out;
}

template<const Encoding &table, int maxBytesPerUnit>
void append(QByteArray &bytes, QStringView text, qsizetype *replaced)
{
    if (text.isEmpty())
        return;
    const qsizetype start = bytes.size();
    bytes.resize(start + text.size() * maxBytesPerUnit);
    qsizetype count = 0;
    const char *end = encodeInto<table>(text, bytes.data() + start, count);
    bytes.truncate(end - bytes.constData());
    if (replaced)
        *replaced += count;
}

} // namespace

namespace CodePage {

QByteArray toCp932(QStringView text, qsizetype *replaced)
{
    QByteArray bytes;
    appendCp932(bytes, text, replaced);
    return bytes;
}

void appendCp932(QByteArray &bytes, QStringView text, qsizetype *replaced)
{
    append<CodePageTables::Cp932::encoding, 2>(bytes, text, replaced);
}

QString fromCp932(QByteArrayView bytes)
{
    return decode<CodePageTables::Cp932::decoding>(bytes);
}

QString fromEucJp(QByteArrayView bytes)
{
    return decode<CodePageTables::EucJp::decoding>(bytes);
}

QByteArray toEucJp(QStringView text)
{
    QByteArray bytes;
    // JIS X 0212 characters take three bytes for one UTF-16 unit.
    append<CodePageTables::EucJp::encoding, 3>(bytes, text, nullptr);
    return bytes;
}

} // namespace CodePage
