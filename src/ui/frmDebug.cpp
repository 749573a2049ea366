#include "ui/frmDebug.h"

#include "ui/ScreenFit.h"
#include "ui_frmDebug.h"

#include <QScreen>
#include <QTextCursor>
#include <QTime>

using namespace Qt::StringLiterals;

frmDebug::frmDebug(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::frmDebug>())
{
    m_ui->setupUi(this);
}

frmDebug::~frmDebug() = default;

void frmDebug::appendLine(const QString &text)
{
    insertLine(u"["_s + QTime::currentTime().toString(u"HH:mm:ss"_s) + u" ] "_s + text);
}

void frmDebug::insertLine(const QString &line)
{
    QTextCursor cursor(m_ui->txtLog->document());
    cursor.movePosition(QTextCursor::Start);
    // Every line ends with a break, so the newest line stands alone in the first block.
    cursor.insertText(line);
    cursor.insertBlock();
}

DebugWindowSink::DebugWindowSink(QObject *parent)
    : QObject(parent)
{}

DebugWindowSink::~DebugWindowSink()
{
    // A top-level window has no parent to delete it.
    delete m_window.data();
}

void DebugWindowSink::showLine(const QString &line)
{
    if (!m_window) {
        m_window = new frmDebug;
        m_window->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_window->insertLine(line);
    if (!m_held && !m_window->isVisible())
        present();
}

void DebugWindowSink::release(QWidget *companion)
{
    m_held = false;
    m_companion = companion;
    if (m_window && !m_window->isVisible())
        present();
}

void DebugWindowSink::present()
{
    if (m_companion && m_companion->isVisible()) {
        const QRect beside = m_companion->frameGeometry();
        const QRect inner = m_companion->geometry();
        // Not shown yet, the window has no frame of its own: the companion's is a fair guess.
        const QMargins frame(inner.left() - beside.left(), inner.top() - beside.top(),
                             beside.right() - inner.right(), beside.bottom() - inner.bottom());
        if (const std::optional<QPoint> at =
                PlaceBeside(beside, m_window->size().grownBy(frame),
                            m_companion->screen()->availableGeometry()))
            m_window->move(*at);
    }
    m_window->show();
    m_window->raise();
}

void DebugWindowSink::closeWindow()
{
    if (m_window)
        m_window->close();
}

DebugLog::WindowSink DebugWindowSink::sink()
{
    return [this](const QString &line) {
        QMetaObject::invokeMethod(this, [this, line] { showLine(line); });
    };
}
