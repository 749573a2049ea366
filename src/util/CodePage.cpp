#include "util/CodePage.h"

#include <QSysInfo>

#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <optional>

namespace {

constexpr const char *kCp932 = "CP932";
// The Microsoft variant: 0xA1C1 decodes to U+FF5E, which CP932 can hold, instead of U+301C.
constexpr const char *kEucJp = "EUC-JP-MS";
constexpr const char *kUtf16 =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

// Owns one conversion descriptor.
class Converter
{
public:
    Converter(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {}
    ~Converter()
    {
        if (isValid())
            iconv_close(m_cd);
    }
    Q_DISABLE_COPY_MOVE(Converter)

    bool isValid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // One iconv step; errno tells why it stopped when the result is (size_t)-1.
    size_t step(char **in, size_t *inLeft, char **out, size_t *outLeft)
    {
        return iconv(m_cd, in, inLeft, out, outLeft);
    }
    void flush(char **out, size_t *outLeft) { iconv(m_cd, nullptr, nullptr, out, outLeft); }
    // Back to the initial shift state, as after iconv_open.
    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

enum class Direction { FromUtf16ToCp932, FromUtf16ToEucJp, FromCp932, FromEucJp, Count };

// iconv_open loads a gconv module on every call, and a run converts tens of thousands of pages:
// each thread keeps one descriptor per direction and resets it before every use.
Converter &converterFor(Direction direction, const char *to, const char *from)
{
    thread_local std::array<std::optional<Converter>, size_t(Direction::Count)> cache;
    std::optional<Converter> &slot = cache[size_t(direction)];
    if (!slot || !slot->isValid())
        slot.emplace(to, from);
    slot->reset();
    return *slot;
}

// Makes room for at least `needed` more bytes behind `out`, keeping what was written.
void grow(QByteArray &buffer, char *&out, size_t &outLeft, size_t needed)
{
    const qsizetype used = out - buffer.data();
    buffer.resize(buffer.size() + qsizetype(needed) + buffer.size() / 2);
    out = buffer.data() + used;
    outLeft = size_t(buffer.size() - used);
}

// UTF-16 text to a byte code page; every character the target cannot hold becomes "?". A
// surrogate pair is one character and so one "?". replaced, when given, grows by their number.
QByteArray encode(QStringView text, Direction direction, const char *codePage, int maxBytesPerUnit,
                  qsizetype *replaced = nullptr)
{
    QByteArray result;
    if (text.isEmpty())
        return result;
    Converter &converter = converterFor(direction, codePage, kUtf16);
    if (!converter.isValid()) {
        if (replaced)
            *replaced += text.size();
        return QByteArray(text.size(), '?');
    }

    result.resize(text.size() * maxBytesPerUnit);
    char *in = const_cast<char *>(reinterpret_cast<const char *>(text.utf16()));
    size_t inLeft = size_t(text.size()) * sizeof(char16_t);
    char *out = result.data();
    size_t outLeft = size_t(result.size());

    while (inLeft > 0) {
        if (converter.step(&in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG) {
            grow(result, out, outLeft, inLeft * size_t(maxBytesPerUnit));
            continue;
        }
        // EILSEQ (no mapping, or a lone surrogate) or EINVAL (a high surrogate at the very end).
        if (outLeft == 0)
            grow(result, out, outLeft, 16);
        *out++ = '?';
        --outLeft;
        if (replaced)
            ++*replaced;
        const auto *unit = reinterpret_cast<const char16_t *>(in);
        size_t skip = sizeof(char16_t);
        if (QChar::isHighSurrogate(unit[0]) && inLeft >= 2 * sizeof(char16_t) &&
            QChar::isLowSurrogate(unit[1]))
            skip = 2 * sizeof(char16_t);
        in += skip;
        inLeft -= skip;
    }
    converter.flush(&out, &outLeft);
    result.truncate(out - result.data());
    return result;
}

// Bytes of a code page to UTF-16; every byte that does not start a valid sequence becomes
// U+FFFD and decoding resumes at the next byte.
QString decode(QByteArrayView bytes, Direction direction, const char *codePage)
{
    QString result;
    if (bytes.isEmpty())
        return result;
    Converter &converter = converterFor(direction, kUtf16, codePage);
    if (!converter.isValid())
        return QString(bytes.size(), QChar::ReplacementCharacter);

    // Every sequence of these code pages yields at most one UTF-16 unit per byte, so the text
    // is decoded straight into its final storage.
    result.resize(bytes.size());
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *out = reinterpret_cast<char *>(result.data());
    size_t outLeft = size_t(result.size()) * sizeof(char16_t);
    const auto written = [&] {
        return (out - reinterpret_cast<char *>(result.data())) / 2;
    };
    const auto growBy = [&](qsizetype units) {
        const qsizetype used = written();
        result.resize(result.size() + units);
        out = reinterpret_cast<char *>(result.data() + used);
        outLeft = size_t(result.size() - used) * sizeof(char16_t);
    };

    while (inLeft > 0) {
        if (converter.step(&in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG) {
            growBy(qsizetype(inLeft) + 16);
            continue;
        }
        // EILSEQ (invalid sequence) or EINVAL (a sequence cut off at the end).
        if (outLeft < sizeof(char16_t))
            growBy(16);
        const char16_t replacement = QChar::ReplacementCharacter;
        memcpy(out, &replacement, sizeof replacement);
        out += sizeof replacement;
        outLeft -= sizeof replacement;
        ++in;
        --inLeft;
    }
    converter.flush(&out, &outLeft);
    result.truncate(written());
    return result;
}

} // namespace

namespace CodePage {

QByteArray toCp932(QStringView text, qsizetype *replaced)
{
    return encode(text, Direction::FromUtf16ToCp932, kCp932, 2, replaced);
}

QString fromCp932(QByteArrayView bytes)
{
    return decode(bytes, Direction::FromCp932, kCp932);
}

QString fromEucJp(QByteArrayView bytes)
{
    return decode(bytes, Direction::FromEucJp, kEucJp);
}

QByteArray toEucJp(QStringView text)
{
    // JIS X 0212 characters take three bytes for one UTF-16 unit.
    return encode(text, Direction::FromUtf16ToEucJp, kEucJp, 3);
}

} // namespace CodePage
