#include "PortalOptions.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

// Enough for any benchmark; titles and pages are computed, so size costs no memory.
constexpr qsizetype kMostGenerated = 10'000'000;
constexpr qsizetype kMostPageSize = 1000;

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption port{u"port"_s, u"Listen on port N (default 8642); 0 picks a free one."_s,
                            u"N"_s};
    QCommandLineOption bind{u"bind"_s, u"Listen on address ADDR (default 127.0.0.1)."_s, u"ADDR"_s};
    QCommandLineOption log{u"log"_s, u"Append \"GET <path>\" to FILE for every request."_s,
                           u"FILE"_s};
    QCommandLineOption today{u"today"_s, u"Treat yyyy-mm-dd as today instead of the clock."_s,
                             u"DATE"_s};
    QCommandLineOption root{u"root"_s, u"Serve the pages in folder DIR."_s, u"DIR"_s};
    QCommandLineOption generate{
        u"generate"_s, u"Serve a generated corpus of N articles (for benchmarks)."_s, u"N"_s};
    QCommandLineOption pageSize{
        u"page-size"_s, u"With --generate: N headlines to a list page (default 50)."_s, u"N"_s};
    QCommandLineOption extract{
        u"extract"_s, u"Print the main text of the saved page FILE, one paragraph a line."_s,
        u"FILE"_s};
    QCommandLineOption url{u"url"_s, u"With --extract: the address the page was saved from."_s,
                           u"ADDRESS"_s};
    QCommandLineOption feeds{
        u"feeds"_s, u"Gateway mode: serve today's news from the feeds FILE names."_s, u"FILE"_s};
    QCommandLineOption cache{
        u"cache"_s,
        u"Gateway mode: keep the archive in DIR (default $XDG_CACHE_HOME/varnholt-portal)."_s,
        u"DIR"_s};
    QCommandLineOption help{{u"h"_s, u"help"_s}, u"Show this help and exit."_s};
    QCommandLineOption version{u"version"_s, u"Show the version and exit."_s};

    Parser()
    {
        parser.setApplicationDescription(
            u"The news portal Varnholt reads by default: list and article pages in EUC-JP."_s);
        parser.addOptions({port, bind, log, today, root, generate, pageSize, extract, url, feeds,
                           cache, help, version});
    }
};

PortalOptions failure(const QString &error)
{
    PortalOptions options;
    options.outcome = PortalOptions::Outcome::Fail;
    options.error = error;
    return options;
}

} // namespace

PortalOptions ParsePortalOptions(const QStringList &arguments)
{
    Parser p;
    if (!p.parser.parse(arguments))
        return failure(p.parser.errorText());
    if (!p.parser.positionalArguments().isEmpty())
        return failure(u"unexpected argument \"%1\""_s.arg(p.parser.positionalArguments().first()));

    PortalOptions options;
    if (p.parser.isSet(p.help)) {
        options.outcome = PortalOptions::Outcome::ShowHelp;
        return options;
    }
    if (p.parser.isSet(p.version)) {
        options.outcome = PortalOptions::Outcome::ShowVersion;
        return options;
    }
    if (p.parser.isSet(p.port)) {
        bool ok = false;
        options.port = p.parser.value(p.port).toInt(&ok);
        if (!ok || options.port < 0 || options.port > 65535)
            return failure(
                u"--port takes a number from 0 to 65535, not \"%1\""_s.arg(p.parser.value(p.port)));
    }
    if (p.parser.isSet(p.bind))
        options.bindAddress = p.parser.value(p.bind);
    if (p.parser.isSet(p.log)) {
        options.logFile = p.parser.value(p.log);
        if (options.logFile.isEmpty())
            return failure(u"--log needs a file name"_s);
    }
    if (p.parser.isSet(p.today)) {
        options.today = QDate::fromString(p.parser.value(p.today), u"yyyy-MM-dd"_s);
        if (!options.today.isValid())
            return failure(
                u"--today takes a date as yyyy-mm-dd, not \"%1\""_s.arg(p.parser.value(p.today)));
    }
    if (int(p.parser.isSet(p.root)) + int(p.parser.isSet(p.generate)) +
            int(p.parser.isSet(p.feeds)) >
        1)
        return failure(u"--root, --generate and --feeds cannot be used together"_s);
    if (p.parser.isSet(p.cache) && !p.parser.isSet(p.feeds))
        return failure(u"--cache needs --feeds"_s);
    if (p.parser.isSet(p.feeds)) {
        options.feedsFile = p.parser.value(p.feeds);
        options.cacheFolder =
            p.parser.isSet(p.cache)
                ? p.parser.value(p.cache)
                : QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
                      u"/varnholt-portal"_s;
    }
    if (p.parser.isSet(p.root)) {
        options.rootFolder = p.parser.value(p.root);
        if (!QFileInfo(options.rootFolder).isDir())
            return failure(u"--root: %1 is not a folder"_s.arg(options.rootFolder));
    }
    if (p.parser.isSet(p.generate)) {
        bool ok = false;
        options.generate = p.parser.value(p.generate).toLongLong(&ok);
        if (!ok || options.generate < 1 || options.generate > kMostGenerated)
            return failure(u"--generate takes a number from 1 to %1, not \"%2\""_s.arg(
                QString::number(kMostGenerated), p.parser.value(p.generate)));
    }
    if (p.parser.isSet(p.pageSize)) {
        if (!p.parser.isSet(p.generate))
            return failure(u"--page-size needs --generate"_s);
        bool ok = false;
        options.pageSize = p.parser.value(p.pageSize).toLongLong(&ok);
        if (!ok || options.pageSize < 1 || options.pageSize > kMostPageSize)
            return failure(u"--page-size takes a number from 1 to %1, not \"%2\""_s.arg(
                QString::number(kMostPageSize), p.parser.value(p.pageSize)));
    }
    if (p.parser.isSet(p.url) && !p.parser.isSet(p.extract))
        return failure(u"--url needs --extract"_s);
    options.extractFile = p.parser.value(p.extract);
    options.extractAddress = p.parser.value(p.url);
    return options;
}

QString PortalHelpText()
{
    Parser p;
    return p.parser.helpText() + uR"(
The first line on standard output is "PORT <n>", the port listened on.
SIGINT or SIGTERM ends the portal.

Pages (EUC-JP, CR LF):
  /headlines/<code>/           first list page of a category today
  /headlines/<code>/<n>        its page n
  /headlines/<yymmdd>/<code>/  the same for the previous day
  codes: dom int bus brf biz ent spo nkn cpt clm ("---" answers 404)
  /article/<yymmdd>/<nnn>      an article page

With --root DIR, a path P is DIR/P/index.html when P ends with "/", else DIR/P.html
when it exists, else DIR/P. ".html" files are UTF-8 and sent as EUC-JP; other files
are sent as they are. Paths containing ".." are refused.

--extract FILE prints the main text that automatic extraction finds in a saved page,
as UTF-8, one paragraph a line, and exits 0; with no main text found it prints nothing
and exits 1. The charset comes from the page's byte-order mark or <meta>, else UTF-8.

Fault scenarios (always available):
  /fault/empty                 200 with an empty body
  /fault/spaces                200 with 40 spaces
  /fault/lf                    an article page with LF line ends only
  /fault/nul                   an article page with a NUL byte in its text
  /fault/garbage               4096 pseudo-random bytes (always the same)
  /fault/reset                 the connection is closed without a reply
  /fault/delay/<ms>            waits, then a small article page
  /fault/trickle/<ms>          an article page in 20 pieces, one every <ms>
  /fault/large/<bytes>         an article page padded to that size (at most 1 GiB)
  /fault/empty-first/<n>/<key> empty for the first <n> requests of this path, then a page
  /fault/redirect/<n>          <n> redirects in a row, then an article page
  /fault/redirect-away         redirect to http://127.0.0.2:<port>/article/x
  /fault/status/<code>         status 200-599 with an article page (none for 204, 304)
  /fault/gzip                  an article page sent with Content-Encoding: gzip
  /fault/endless/<n>           list page <n>, whose next page is /fault/endless/<n+1>
  /fault/slow-list/<ms>/<n>    after <ms>, list page <n> of ten headlines whose articles take
                               about <ms> each; its next page is /fault/slow-list/<ms>/<n+1>

/portal/stats answers with the number of requests so far, the number of connections
they came over, and the most requests that were being answered at one time.

Gateway mode (--feeds FILE): the same list pages, made from the RSS and Atom feeds FILE names,
and article pages /article/<n> cut from each item's page on first request (fault routes stay).
FILE is UTF-8 INI: [dom] ... [clm] with "feeds = <address> ...", "text = auto|feed|<XPath>",
"match = <word> ..."; [portal] with contact, refresh (minutes), keep_days, delay (ms),
items_per_page, feed_text_hosts. The shipped data/feeds/ja-news.ini maps the ten categories to
public Japanese feeds. --today also moves the gateway's day (for tests).
)"_s;
}
