#include "engine/OutputWriters.h"

#include "engine/ArticleList.h"
#include "startup/RunOptions.h"
#include "util/CodePage.h"
#include "util/DateFormat.h"
#include "util/DebugLog.h"
#include "util/FileTools.h"
#include "util/Prompter.h"
#include "util/SafeWrite.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

constexpr char Separator = '\x01';
constexpr QByteArrayView CrLf = "\r\n";

QString tag(const ArticleRecord &record, const WriterContext &context)
{
    return context.NoAddKey ? QString() : record.KeyWord + u"＠";
}

QString date(const WriterContext &context)
{
    return FormatDate(context.now(), u"yyyy/mm/dd");
}

void appendText(QByteArray &out, const QString &text, qsizetype &lost)
{
    CodePage::appendCp932(out, text, &lost);
}

void tellLost(const WriterContext &context, const ArticleRecord &record, qsizetype lost)
{
    if (lost > 0 && context.lostCharacters)
        context.lostCharacters(record, lost);
}

const QByteArray &dashRule()
{
    static const QByteArray rule(78, '-');
    return rule;
}

const QByteArray &equalsRule()
{
    static const QByteArray rule(78, '=');
    return rule;
}

// Lines 1, 3, 4 and 5 of a .qfb/.qfk record around its line 2.
void writeLineRecord(QByteArray &out, const QString &line2, const ArticleRecord &record,
                     QByteArrayView body, const WriterContext &context)
{
    qsizetype lost = record.BodyLost;
    out += "@";
    out += CrLf;
    appendText(out, line2, lost);
    out += CrLf;
    out += dashRule();
    out += CrLf;
    out += body;
    out += CrLf;
    out += equalsRule();
    out += CrLf;
    tellLost(context, record, lost);
}

} // namespace

OutputLayout ChooseLayout(const RunOptions &runOptions)
{
    if (runOptions.Qfb)
        return OutputLayout::Qfb;
    if (runOptions.Qfk)
        return OutputLayout::Qfk;
    if (runOptions.Csv)
        return OutputLayout::Csv;
    return OutputLayout::Qfw;
}

QString LayoutExtension(OutputLayout layout)
{
    switch (layout) {
    case OutputLayout::Qfb:
        return u".qfb"_s;
    case OutputLayout::Qfk:
        return u".qfk"_s;
    case OutputLayout::Csv:
        return u".csv"_s;
    case OutputLayout::Qfw:
        break;
    }
    return u".qfw"_s;
}

void WriteQfw(QByteArray &out, const ArticleRecord &record, QByteArrayView body,
              const WriterContext &context)
{
    qsizetype lost = record.BodyLost;
    appendText(out, date(context) + u"：" + tag(record, context) + record.Title, lost);
    out += Separator;
    appendText(out, record.URL, lost);
    out += Separator;
    out += body;
    out += Separator;
    tellLost(context, record, lost);
}

void WriteQfb(QByteArray &out, const ArticleRecord &record, QByteArrayView body,
              const WriterContext &context)
{
    writeLineRecord(
        out, date(context) + u"：" + tag(record, context) + record.Title + u" - " + record.URL,
        record, body, context);
}

void WriteQfk(QByteArray &out, const ArticleRecord &record, QByteArrayView body,
              const WriterContext &context)
{
    const QString dateTime = FormatDate(context.now(), u"yyyy/mm/dd(hh:nn)");
    writeLineRecord(
        out, dateTime + u"：［題］" + tag(record, context) + record.Title + u" - " + record.URL,
        record, body, context);
}

void WriteCsv(QByteArray &out, const ArticleRecord &record, QByteArrayView body,
              const WriterContext &context)
{
    qsizetype lost = record.BodyLost;
    appendText(out, tag(record, context) + record.Title + u',' + record.URL + u',', lost);
    // CR and LF never occur inside a CP932 double-byte character, so the bytes can be edited:
    // each line of the body is appended, and a "," in place of its CR LF.
    for (qsizetype end; (end = body.indexOf(CrLf)) >= 0; body = body.sliced(end + CrLf.size())) {
        out += body.first(end);
        out += ',';
    }
    out += body;
    out += CrLf;
    tellLost(context, record, lost);
}

RecordStream::RecordStream(OutputLayout layout, const ArticleList &articles,
                           const WriterContext &context)
    : m_writer(&WriteQfw)
    , m_articles(articles)
    , m_context(context)
{
    switch (layout) {
    case OutputLayout::Qfb:
        m_writer = &WriteQfb;
        break;
    case OutputLayout::Qfk:
        m_writer = &WriteQfk;
        break;
    case OutputLayout::Csv:
        m_writer = &WriteCsv;
        break;
    case OutputLayout::Qfw:
        break;
    }
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 RecordStream::readData(char *data, qint64 maxSize)
{
    qint64 given = 0;
    while (given < maxSize) {
        if (m_taken == m_made.size()) {
            if (m_next == m_articles.ArticleCount())
                break;
            if (const FileResult read = m_articles.body(m_next, m_body); !read) {
                setErrorString(read.error);
                return given > 0 ? given : -1;
            }
            m_made.clear();
            m_taken = 0;
            m_writer(m_made, m_articles[m_next], m_body, m_context);
            ++m_next;
        }
        const qint64 step = std::min<qint64>(maxSize - given, m_made.size() - m_taken);
        std::memcpy(data + given, m_made.constData() + m_taken, size_t(step));
        m_taken += step;
        given += step;
    }
    return given;
}

void RecordStream::countTheRest()
{
    QByteArray scratch;
    for (; m_next < m_articles.ArticleCount(); ++m_next) {
        scratch.clear();
        m_writer(scratch, m_articles[m_next], {}, m_context);
    }
}

QByteArray BuildOutput(OutputLayout layout, const ArticleList &articles,
                       const WriterContext &context)
{
    RecordStream stream(layout, articles, context);
    return stream.readAll();
}

OutputFileAccess OutputFileAccess::real()
{
    return {
        &CanAppendFile,
        [](const QString &path, QIODevice &source) { return WriteFileAtomically(path, source); },
        [](const QString &path, QIODevice &source) {
            return AppendAllOrNothing(path, source);
        }};
}

QString OutputUnwritableMessage(const QString &path, const QString &reason)
{
    // The fixed text, then the path, so the person knows which file could not be opened.
    QString text =
        u"ファイルが保存できませんでした。\r\n"
        u"ディスクが入っているか。又は、フォルダ、ファイル名を確認してください。\r\n\r\n"_s +
        path;
    if (!reason.isEmpty())
        text += u"\r\n"_s + reason;
    return text;
}

SaveResult SaveArticles(const QString &path, const ArticleList &articles, SaveContext &context)
{
    RunOptions &options = context.runOptions;
    const OutputLayout layout = ChooseLayout(options);
    SaveResult result;
    result.SaveFilePath = path + LayoutExtension(layout);
    const QString &file = result.SaveFilePath;

    // The probe creates a missing file; the writers create it whole themselves, so that a failed
    // or killed write leaves no empty file behind.
    const bool existed = QFileInfo::exists(file);
    if (!context.files.canAppend(file)) {
        context.prompter.tell(OutputUnwritableMessage(file), MessageIcon::Stop);
        return result;
    }

    if (!options.OverWrite && !options.Append) {
        if (context.chkOverWrite == 1)
            options.OverWrite = true;
        else
            options.Append = true;
    }

    if (!existed)
        QFile::remove(file);

    const auto lost = [&](const ArticleRecord &record, qsizetype count) {
        result.lostCharacters += count;
        if (context.log)
            context.log->write(record.Title + u"の"_s + QString::number(count) +
                               u"文字はCP932で表せないため「?」にしました。"_s);
    };
    const WriterContext writing{options.NoAddKey, context.now, lost};
    RecordStream records(layout, articles, writing);

    // An append of no records still creates a missing file, empty.
    const FileResult written = options.OverWrite ? context.files.replace(file, records)
                                                 : context.files.append(file, records);
    records.countTheRest();

    if (!written) {
        context.prompter.tell(u"ファイルが保存できませんでした。\r\n"_s + written.error,
                              MessageIcon::Stop);
        result.lostCharacters = 0; // nothing was written
        return result;
    }
    result.written = true;
    return result;
}
