#include "FeedsFile.h"

#include "HeadlinePath.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace {

const auto kPortalSection = u"portal"_s;

bool isWebAddress(const QUrl &url)
{
    return url.isValid() && (url.scheme() == u"http" || url.scheme() == u"https") &&
           !url.host().isEmpty();
}

// A whole number in [low, high], or nullopt.
std::optional<int> boundedNumber(const QString &value, int low, int high)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok || number < low || number > high)
        return std::nullopt;
    return number;
}

class Reader
{
public:
    explicit Reader(const QString &name)
        : m_name(name)
    {}

    bool line(int number, QStringView raw)
    {
        m_line = number;
        const QStringView text = raw.trimmed();
        if (text.isEmpty() || text.startsWith(u'#') || text.startsWith(u';'))
            return true;
        if (text.startsWith(u'[')) {
            if (!text.endsWith(u']'))
                return fail(u"a section header needs a closing \"]\""_s);
            return section(text.mid(1, text.size() - 2).trimmed().toString());
        }
        const qsizetype equals = text.indexOf(u'=');
        if (equals <= 0)
            return fail(u"expected \"name = value\" or \"[section]\", not \"%1\""_s.arg(text));
        // The value is kept whole: XPath expressions hold commas, quotes and "=".
        const QString key = text.left(equals).trimmed().toString().toLower();
        const QString value = text.mid(equals + 1).trimmed().toString();
        if (m_section.isEmpty())
            return fail(u"\"%1\" stands before any section"_s.arg(key));
        return m_section == kPortalSection ? portalItem(key, value) : categoryItem(key, value);
    }

    bool finish()
    {
        for (auto it = m_config.categories.cbegin(); it != m_config.categories.cend(); ++it) {
            if (it->feeds.isEmpty()) {
                m_line = 0;
                return fail(u"[%1] names no feeds (\"feeds = <address> ...\")"_s.arg(it.key()));
            }
        }
        return true;
    }

    FeedsConfig config() const { return m_config; }
    QString error() const { return m_error; }

private:
    bool section(const QString &name)
    {
        if (name != kPortalSection && !HeadlineCodes().contains(name))
            return fail(u"[%1] is neither a category code (%2) nor [portal]"_s.arg(
                name, HeadlineCodes().join(u' ')));
        if (m_seen.contains(name))
            return fail(u"[%1] appears twice"_s.arg(name));
        m_seen.append(name);
        m_section = name;
        if (name != kPortalSection)
            m_config.categories.insert(name, {});
        return true;
    }

    bool categoryItem(const QString &key, const QString &value)
    {
        CategoryFeeds &category = m_config.categories[m_section];
        if (key == u"feeds") {
            for (const QString &address : value.split(u' ', Qt::SkipEmptyParts)) {
                const QUrl url(address, QUrl::StrictMode);
                if (!isWebAddress(url))
                    return fail(u"\"%1\" is not an http or https address"_s.arg(address));
                category.feeds.append(url);
            }
            return true;
        }
        if (key == u"text") {
            if (value == u"auto")
                category.text = {TextRule::Kind::Auto, {}};
            else if (value == u"feed")
                category.text = {TextRule::Kind::Feed, {}};
            else if (value.isEmpty())
                return fail(u"text = needs auto, feed or an XPath expression"_s);
            else
                category.text = {TextRule::Kind::XPath, value};
            return true;
        }
        if (key == u"match") {
            category.match = value.split(u' ', Qt::SkipEmptyParts);
            return true;
        }
        return fail(u"unknown item \"%1\" (feeds, text, match)"_s.arg(key));
    }

    bool portalItem(const QString &key, const QString &value)
    {
        GatewaySettings &s = m_config.settings;
        if (key == u"contact") {
            s.contact = value;
            return true;
        }
        if (key == u"feed_text_hosts") {
            s.feedTextHosts = value.toLower().split(u' ', Qt::SkipEmptyParts);
            return true;
        }
        const auto number = [&](int low, int high) {
            const auto n = boundedNumber(value, low, high);
            if (!n)
                fail(u"%1 takes a whole number from %2 to %3, not \"%4\""_s.arg(key)
                         .arg(low)
                         .arg(high)
                         .arg(value));
            return n;
        };
        if (key == u"refresh") {
            const auto n = number(0, 24 * 60);
            s.refresh = std::chrono::minutes(n.value_or(0));
            return n.has_value();
        }
        if (key == u"keep_days") {
            const auto n = number(1, 3650);
            s.keepDays = n.value_or(0);
            return n.has_value();
        }
        if (key == u"delay") {
            const auto n = number(0, 60'000);
            s.delay = std::chrono::milliseconds(n.value_or(0));
            return n.has_value();
        }
        if (key == u"items_per_page") {
            const auto n = number(1, 1000);
            s.itemsPerPage = n.value_or(0);
            return n.has_value();
        }
        return fail(u"unknown item \"%1\" in [portal] (contact, refresh, keep_days, delay, "
                    u"items_per_page, feed_text_hosts)"_s.arg(key));
    }

    bool fail(const QString &what)
    {
        if (m_error.isEmpty())
            m_error = m_line > 0 ? u"%1:%2: %3"_s.arg(m_name).arg(m_line).arg(what)
                                 : m_name + u": "_s + what;
        return false;
    }

    QString m_name;
    int m_line = 0;
    QString m_section;
    QStringList m_seen;
    FeedsConfig m_config;
    QString m_error;
};

} // namespace

FeedsFileResult ParseFeedsFile(const QByteArray &text, const QString &name)
{
    QByteArray bytes = text;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    const QString decoded = QString::fromUtf8(bytes);
    Reader reader(name);
    FeedsFileResult result;
    if (decoded.contains(QChar::ReplacementCharacter) && !bytes.contains("\xEF\xBF\xBD")) {
        result.error = name + u": not UTF-8 text"_s;
        return result;
    }
    const QStringList lines = decoded.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!reader.line(int(i + 1), lines.at(i))) {
            result.error = reader.error();
            return result;
        }
    }
    if (!reader.finish()) {
        result.error = reader.error();
        return result;
    }
    result.ok = true;
    result.config = reader.config();
    return result;
}

FeedsFileResult ReadFeedsFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        FeedsFileResult result;
        result.error = u"cannot read the feeds file %1: %2"_s.arg(path, file.errorString());
        return result;
    }
    return ParseFeedsFile(file.readAll(), path);
}
