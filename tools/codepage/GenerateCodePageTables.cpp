// Writes CodePageTables.h: the decode and encode tables of EUC-JP-MS and CP932 as iconv maps
// them. Every table shape CodePage.cpp relies on is checked here; anything iconv does outside
// it stops the build with the byte sequence that broke it.
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::uint16_t kNone = 0xFFFF;

[[noreturn]] void fail(const std::string &what)
{
    std::fprintf(stderr, "varnholt-codepage-tables: %s\n", what.c_str());
    std::exit(1);
}

std::string hex(const std::vector<std::uint8_t> &bytes)
{
    std::string text;
    char part[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(part, sizeof part, "%02X", byte);
        text += part;
    }
    return text;
}

class Iconv
{
public:
    Iconv(const char *to, const char *from)
        : m_cd(iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            fail(std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Iconv() { iconv_close(m_cd); }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;

    enum class Outcome { Whole, Invalid, Incomplete };
    struct Result
    {
        Outcome outcome;
        size_t consumed;
        std::string out; // bytes
    };

    Result convert(const void *input, size_t size)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char *in = static_cast<char *>(const_cast<void *>(input));
        size_t inLeft = size;
        std::uint8_t buffer[32];
        char *out = reinterpret_cast<char *>(buffer);
        size_t outLeft = sizeof buffer;
        const size_t done = iconv(m_cd, &in, &inLeft, &out, &outLeft);
        Outcome outcome = Outcome::Whole;
        if (done == size_t(-1)) {
            if (errno == EILSEQ)
                outcome = Outcome::Invalid;
            else if (errno == EINVAL)
                outcome = Outcome::Incomplete;
            else
                fail("iconv stopped for another reason than the input");
        }
        iconv(m_cd, nullptr, nullptr, &out, &outLeft);
        return {outcome, size - inLeft, std::string(reinterpret_cast<char *>(buffer), out)};
    }

private:
    iconv_t m_cd;
};

// The one UTF-16 unit a complete sequence decodes to, or nothing when it is not one.
std::optional<std::uint16_t> oneUnit(const Iconv::Result &result, size_t size,
                                     const std::vector<std::uint8_t> &bytes)
{
    if (result.outcome != Iconv::Outcome::Whole)
        return std::nullopt;
    if (result.consumed != size || result.out.size() != 2)
        fail("sequence " + hex(bytes) + " does not decode to one UTF-16 unit");
    const std::uint16_t unit =
        std::uint16_t(std::uint8_t(result.out[0]) | std::uint8_t(result.out[1]) << 8);
    if (unit == kNone || unit == 0xFFFD || (unit >= 0xD800 && unit <= 0xDFFF))
        fail("sequence " + hex(bytes) + " decodes to a unit the tables use as a marker");
    return unit;
}

struct Rows
{
    std::vector<std::uint8_t> rowOf = std::vector<std::uint8_t>(256, 0); // 0: none, else 1 + row
    std::vector<std::vector<std::uint16_t>> rows;                        // each 256 wide
    int trailFirst = 256;
    int trailLast = -1;

    std::vector<std::uint16_t> &add(int key)
    {
        if (rows.size() >= 255)
            fail("more than 255 table rows");
        rows.emplace_back(256, kNone);
        rowOf[size_t(key)] = std::uint8_t(rows.size());
        return rows.back();
    }
    void note(int trail)
    {
        trailFirst = std::min(trailFirst, trail);
        trailLast = std::max(trailLast, trail);
    }
};

struct Decoding
{
    std::vector<std::uint16_t> single = std::vector<std::uint16_t>(256, kNone);
    Rows doubles;
    int tripleLead = -1;
    Rows triples; // by the second byte
};

Decoding probeDecoding(const char *codePage)
{
    Iconv iconv("UTF-16LE", codePage);
    Decoding table;
    std::vector<int> leads;
    for (int b = 0; b < 256; ++b) {
        const std::vector<std::uint8_t> bytes{std::uint8_t(b)};
        const Iconv::Result result = iconv.convert(bytes.data(), 1);
        if (const auto unit = oneUnit(result, 1, bytes))
            table.single[size_t(b)] = *unit;
        else if (result.outcome == Iconv::Outcome::Incomplete)
            leads.push_back(b);
    }
    for (int lead : leads) {
        std::vector<std::uint16_t> row(256, kNone);
        bool any = false;
        for (int trail = 0; trail < 256; ++trail) {
            const std::vector<std::uint8_t> bytes{std::uint8_t(lead), std::uint8_t(trail)};
            const Iconv::Result result = iconv.convert(bytes.data(), 2);
            if (result.outcome == Iconv::Outcome::Whole) {
                row[size_t(trail)] = *oneUnit(result, 2, bytes);
                table.doubles.note(trail);
                any = true;
                continue;
            }
            if (result.consumed != 0)
                fail("sequence " + hex(bytes) + " is cut after its first byte");
            if (result.outcome == Iconv::Outcome::Incomplete) {
                if (table.tripleLead >= 0 && table.tripleLead != lead)
                    fail("more than one lead of three-byte sequences");
                table.tripleLead = lead;
            }
        }
        if (any)
            table.doubles.add(lead) = row;
    }
    if (table.tripleLead < 0)
        return table;
    if (table.doubles.rowOf[size_t(table.tripleLead)] != 0)
        fail("the three-byte lead also starts two-byte sequences");
    for (int second = 0; second < 256; ++second) {
        std::vector<std::uint16_t> row(256, kNone);
        bool any = false;
        for (int third = 0; third < 256; ++third) {
            const std::vector<std::uint8_t> bytes{std::uint8_t(table.tripleLead),
                                                  std::uint8_t(second), std::uint8_t(third)};
            const Iconv::Result result = iconv.convert(bytes.data(), 3);
            if (const auto unit = oneUnit(result, 3, bytes)) {
                row[size_t(third)] = *unit;
                table.triples.note(third);
                any = true;
            } else if (result.consumed != 0) {
                fail("sequence " + hex(bytes) + " is cut inside");
            }
        }
        if (any)
            table.triples.add(second) = row;
    }
    return table;
}

// One 16-bit value per BMP unit: kNone unmappable; below 0x100 one byte; from 0x8000 two bytes;
// between, the three-byte lead and the two bytes with their high bits cleared.
struct Encoding
{
    std::vector<std::uint16_t> units = std::vector<std::uint16_t>(65536, kNone);
    int tripleLead = 0;
    // Supplementary code points iconv drops without a trace; none maps to bytes.
    std::uint32_t ignoredFirst = 1;
    std::uint32_t ignoredLast = 0;
};

Encoding probeEncoding(const char *codePage, int tripleLead)
{
    Iconv iconv(codePage, "UTF-16LE");
    Encoding table;
    table.tripleLead = tripleLead < 0 ? 0 : tripleLead;
    for (std::uint32_t unit = 0; unit < 65536; ++unit) {
        const std::uint8_t input[2] = {std::uint8_t(unit), std::uint8_t(unit >> 8)};
        const Iconv::Result result = iconv.convert(input, 2);
        const std::vector<std::uint8_t> out(result.out.begin(), result.out.end());
        const std::string name = "U+" + hex({input[1], input[0]});
        if (result.outcome != Iconv::Outcome::Whole) {
            if (!out.empty() || result.consumed != 0)
                fail(name + " fails after writing bytes");
            continue;
        }
        std::uint16_t value = kNone;
        if (out.size() == 1)
            value = out[0];
        else if (out.size() == 2 && out[0] >= 0x80 && (out[0] << 8 | out[1]) != kNone)
            value = std::uint16_t(out[0] << 8 | out[1]);
        else if (out.size() == 3 && out[0] == tripleLead && out[1] >= 0xA1 && out[2] >= 0x80)
            value = std::uint16_t((out[1] & 0x7F) << 8 | (out[2] & 0x7F));
        else
            fail(name + " encodes to a form the table cannot hold: " + hex(out));
        table.units[unit] = value;
    }
    for (std::uint32_t point = 0x10000; point < 0x110000; ++point) {
        const std::uint16_t high = std::uint16_t(0xD800 + ((point - 0x10000) >> 10));
        const std::uint16_t low = std::uint16_t(0xDC00 + ((point - 0x10000) & 0x3FF));
        const std::uint8_t input[4] = {std::uint8_t(high), std::uint8_t(high >> 8),
                                       std::uint8_t(low), std::uint8_t(low >> 8)};
        const Iconv::Result result = iconv.convert(input, 4);
        if (result.outcome != Iconv::Outcome::Whole)
            continue;
        if (!result.out.empty())
            fail("a code point beyond the BMP encodes to bytes");
        if (table.ignoredFirst > table.ignoredLast) {
            table.ignoredFirst = table.ignoredLast = point;
        } else if (point == table.ignoredLast + 1) {
            table.ignoredLast = point;
        } else {
            fail("the code points iconv drops are not one range");
        }
    }
    return table;
}

void writeArray(std::ostream &out, const char *type, const std::string &name,
                const std::vector<std::uint16_t> &values, int width)
{
    out << "inline constexpr " << type << ' ' << name << '[' << values.size() << "] = {";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i % 16 == 0)
            out << "\n   ";
        char part[10];
        std::snprintf(part, sizeof part, " 0x%0*X,", width, values[i]);
        out << part;
    }
    out << "\n};\n";
}

// Rows cut to the trail range, one after another.
std::vector<std::uint16_t> flatten(const Rows &rows)
{
    std::vector<std::uint16_t> flat;
    for (const auto &row : rows.rows)
        flat.insert(flat.end(), row.begin() + rows.trailFirst, row.begin() + rows.trailLast + 1);
    if (flat.empty())
        flat.push_back(kNone);
    return flat;
}

void writeRows(std::ostream &out, const std::string &prefix, const Rows &rows)
{
    const int first = rows.trailLast < 0 ? 0 : rows.trailFirst;
    const int count = rows.trailLast < 0 ? 0 : rows.trailLast - rows.trailFirst + 1;
    writeArray(out, "std::uint8_t", prefix + "Row",
               std::vector<std::uint16_t>(rows.rowOf.begin(), rows.rowOf.end()), 2);
    out << "inline constexpr unsigned " << prefix << "TrailFirst = " << first << ";\n";
    out << "inline constexpr unsigned " << prefix << "TrailCount = " << count << ";\n";
    writeArray(out, "char16_t", prefix + "Units", flatten(rows), 4);
}

void writeCodePage(std::ostream &out, const char *name, const char *codePage)
{
    const Decoding decoding = probeDecoding(codePage);
    const Encoding encoding = probeEncoding(codePage, decoding.tripleLead);
    out << "\n// " << codePage << "\nnamespace " << name << " {\n";
    writeArray(out, "char16_t", "single", decoding.single, 4);
    writeRows(out, "double", decoding.doubles);
    out << "inline constexpr int tripleLead = " << decoding.tripleLead << "; // -1: none\n";
    writeRows(out, "triple", decoding.triples);
    writeArray(out, "std::uint16_t", "encode", encoding.units, 4);
    out << "inline constexpr char32_t ignoredFirst = 0x" << std::hex << encoding.ignoredFirst
        << ";\n";
    out << "inline constexpr char32_t ignoredLast = 0x" << encoding.ignoredLast << std::dec
        << ";\n";
    out << "inline constexpr Decoding decoding{single, doubleRow, doubleTrailFirst, "
           "doubleTrailCount, doubleUnits,\n    tripleLead, tripleRow, tripleTrailFirst, "
           "tripleTrailCount, tripleUnits};\n";
    out << "inline constexpr Encoding encoding{encode, "
        << (decoding.tripleLead < 0 ? 0 : decoding.tripleLead) << ", ignoredFirst, ignoredLast};\n";
    out << "} // namespace " << name << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        fail("usage: varnholt-codepage-tables <output header>");
    std::ostringstream text;
    text << "// Written by varnholt-codepage-tables from the C library's iconv; not to be edited.\n"
            "#pragma once\n\n#include <cstdint>\n\nnamespace CodePageTables {\n\n"
            "// In every table: no character here.\n"
            "inline constexpr std::uint16_t none = 0xFFFF;\n\n"
            "struct Decoding\n{\n"
            "    const char16_t *single; // by byte: the unit of a one-byte character\n"
            "    // By lead byte: 0, or 1 + the row of doubleUnits; a row spans the trail range.\n"
            "    const std::uint8_t *doubleRow;\n"
            "    unsigned doubleTrailFirst;\n"
            "    unsigned doubleTrailCount;\n"
            "    const char16_t *doubleUnits;\n"
            "    int tripleLead; // -1: no three-byte characters\n"
            "    const std::uint8_t *tripleRow; // by the second byte, as doubleRow\n"
            "    unsigned tripleTrailFirst;\n"
            "    unsigned tripleTrailCount;\n"
            "    const char16_t *tripleUnits;\n"
            "};\n\n"
            "struct Encoding\n{\n"
            "    // By UTF-16 unit: below 0x100 one byte; from 0x8000 two bytes, high first; "
            "between,\n"
            "    // tripleLead and then both bytes with their high bit set.\n"
            "    const std::uint16_t *units;\n"
            "    unsigned tripleLead;\n"
            "    // Code points beyond the BMP that vanish without a replacement.\n"
            "    char32_t ignoredFirst;\n"
            "    char32_t ignoredLast;\n"
            "};\n";
    writeCodePage(text, "EucJp", "EUC-JP-MS");
    writeCodePage(text, "Cp932", "CP932");
    text << "\n} // namespace CodePageTables\n";

    const std::string temporary = std::string(argv[1]) + ".part";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text.str();
        if (!file.flush())
            fail("cannot write " + temporary);
    }
    if (std::rename(temporary.c_str(), argv[1]) != 0)
        fail("cannot rename " + temporary + " to " + argv[1]);
    return 0;
}
