#pragma once

// The C library's iconv with CodePage's replacement rules: the reference the table-driven
// converters of util/CodePage are checked and measured against. Never part of the program.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace IconvCodePage {

// One conversion descriptor, reset before every use as the program once did.
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
    void reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

inline const char *utf16()
{
    return QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
}

// Every character the target cannot hold becomes "?", a surrogate pair being one character;
// replaced grows by their number.
inline QByteArray encode(Converter &converter, QStringView text, int maxBytesPerUnit,
                         qsizetype *replaced)
{
    QByteArray result;
    if (text.isEmpty())
        return result;
    converter.reset();
    result.resize(text.size() * maxBytesPerUnit + 16);
    char *in = const_cast<char *>(reinterpret_cast<const char *>(text.utf16()));
    size_t inLeft = size_t(text.size()) * sizeof(char16_t);
    char *out = result.data();
    size_t outLeft = size_t(result.size());
    while (inLeft > 0) {
        if (converter.step(&in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG)
            qFatal("IconvCodePage: output larger than %d bytes a unit", maxBytesPerUnit);
        // EILSEQ (no mapping, or a lone surrogate) or EINVAL (a high surrogate at the very end).
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

// Every byte that does not start a valid sequence becomes U+FFFD; decoding resumes at the next.
inline QString decode(Converter &converter, QByteArrayView bytes)
{
    QString result;
    if (bytes.isEmpty())
        return result;
    converter.reset();
    result.resize(bytes.size());
    char *in = const_cast<char *>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char *out = reinterpret_cast<char *>(result.data());
    size_t outLeft = size_t(result.size()) * sizeof(char16_t);
    while (inLeft > 0) {
        if (converter.step(&in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG)
            qFatal("IconvCodePage: more than one unit a byte");
        // EILSEQ (invalid sequence) or EINVAL (a sequence cut off at the end).
        const char16_t replacement = QChar::ReplacementCharacter;
        memcpy(out, &replacement, sizeof replacement);
        out += sizeof replacement;
        outLeft -= sizeof replacement;
        ++in;
        --inLeft;
    }
    converter.flush(&out, &outLeft);
    result.truncate((out - reinterpret_cast<char *>(result.data())) / 2);
    return result;
}

// The four directions, each with descriptors kept open between calls.
class Reference
{
public:
    QByteArray toCp932(QStringView text, qsizetype *replaced = nullptr)
    {
        return encode(m_toCp932, text, 2, replaced);
    }
    QString fromCp932(QByteArrayView bytes) { return decode(m_fromCp932, bytes); }
    QString fromEucJp(QByteArrayView bytes) { return decode(m_fromEucJp, bytes); }
    QByteArray toEucJp(QStringView text) { return encode(m_toEucJp, text, 3, nullptr); }

private:
    Converter m_toCp932{"CP932", utf16()};
    Converter m_fromCp932{utf16(), "CP932"};
    Converter m_fromEucJp{utf16(), "EUC-JP-MS"};
    Converter m_toEucJp{"EUC-JP-MS", utf16()};
};

} // namespace IconvCodePage
