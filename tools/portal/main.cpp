// varnholt-portal: serves the news portal that Varnholt reads by default.

#include "CorpusSite.h"
#include "ExtractCommand.h"
#include "GatewaySite.h"
#include "GeneratedCorpus.h"
#include "PortalOptions.h"
#include "PortalServer.h"
#include "RequestLog.h"
#include "RootFolder.h"
#include "SampleCorpus.h"
#include "ServiceReady.h"
#include "engine/CurlTransport.h"
#include "feeds/FeedsFile.h"
#include "util/SignalWatcher.h"
#include "util/Version.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

void say(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// Gateway mode: nullptr with the reason when the feeds file or the archive is unusable.
std::unique_ptr<PageSource> makeGateway(const PortalOptions &options, QString *what, QString *error)
{
    const FeedsFileResult feeds = ReadFeedsFile(options.feedsFile);
    if (!feeds.ok) {
        *error = feeds.error;
        return nullptr;
    }
    auto site = std::make_unique<GatewaySite>(feeds.config, options.today, [](const QString &line) {
        say(stderr, u"varnholt-portal: "_s + line);
    });
    if (const FileResult opened = site->open(options.cacheFolder); !opened) {
        *error = opened.error;
        return nullptr;
    }
    if (feeds.config.settings.contact.isEmpty())
        say(stderr, u"varnholt-portal: %1 names no contact in [portal]: the sources see a "
                    u"User-Agent without a way to reach you"_s.arg(options.feedsFile));
    *what = u"the feeds of %1 (%2 categories, archive in %3)"_s.arg(options.feedsFile)
                .arg(feeds.config.categories.size())
                .arg(options.cacheFolder);
    return site;
}

std::unique_ptr<PageSource> makePages(const PortalOptions &options, QString *what, QString *error)
{
    if (!options.feedsFile.isEmpty())
        return makeGateway(options, what, error);
    if (!options.rootFolder.isEmpty()) {
        *what = u"the folder "_s + options.rootFolder;
        return std::make_unique<RootFolder>(options.rootFolder);
    }
    if (options.generate > 0) {
        *what = u"%1 generated articles"_s.arg(options.generate);
        return std::make_unique<CorpusSite>(
            std::make_unique<GeneratedCorpus>(options.generate, options.pageSize), options.today);
    }
    *what = u"the sample corpus"_s;
    return std::make_unique<CorpusSite>(std::make_unique<SampleCorpus>(), options.today);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"varnholt-portal"_s);
    QCoreApplication::setApplicationVersion(VersionNumber());

    const PortalOptions options = ParsePortalOptions(QCoreApplication::arguments());
    switch (options.outcome) {
    case PortalOptions::Outcome::ShowHelp:
        say(stdout, PortalHelpText());
        return 0;
    case PortalOptions::Outcome::ShowVersion:
        say(stdout, u"varnholt-portal "_s + QCoreApplication::applicationVersion());
        return 0;
    case PortalOptions::Outcome::Fail:
        say(stderr, u"varnholt-portal: "_s + options.error + u" (see --help)"_s);
        return 2;
    case PortalOptions::Outcome::Run:
        break;
    }
    if (!options.extractFile.isEmpty())
        return RunExtractCommand(options.extractFile, options.extractAddress);

    // A client that hangs up mid-reply must not end the portal.
    std::signal(SIGPIPE, SIG_IGN);
    // Blocked before the server's threads start, so that only the watcher below receives them.
    BlockStopSignals();

    RequestLog log;
    QString error;
    if (!options.logFile.isEmpty() && !log.open(options.logFile, &error)) {
        say(stderr, u"varnholt-portal: "_s + error);
        return 2;
    }
    const CurlGlobal curl;
    QString what;
    std::unique_ptr<PageSource> pages = makePages(options, &what, &error);
    if (!pages) {
        say(stderr, u"varnholt-portal: "_s + error);
        return 2;
    }
    PortalServer server(std::move(pages), log.isOpen() ? &log : nullptr);
    if (!server.bind(options.bindAddress, options.port, &error)) {
        say(stderr, u"varnholt-portal: "_s + error);
        return 2;
    }
    say(stdout, u"PORT %1"_s.arg(server.port()));
    const QString serving =
        u"serving %1 at http://%2:%3/"_s.arg(what, options.bindAddress).arg(server.port());
    say(stderr, u"varnholt-portal: "_s + serving);
    if (const QString failed = NotifyServiceReady(serving); !failed.isEmpty())
        say(stderr, u"varnholt-portal: "_s + failed);

    // SIGINT or SIGTERM stops the server from ordinary code rather than from a signal handler.
    const SignalWatcher watcher([&server](int, int) { server.stop(); });
    const bool served = server.run();
    if (!served) {
        say(stderr,
            u"varnholt-portal: the server on port %1 stopped unexpectedly"_s.arg(server.port()));
        return 1;
    }
    return 0;
}
