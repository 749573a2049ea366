#include "ui/frmFetch.h"

#include "ui/ProductLook.h"
#include "ui/fpProgressBar.h"
#include "ui_frmFetch.h"
#include "util/Prompter.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShortcut>
#include <QThread>

using namespace Qt::StringLiterals;

frmFetch::frmFetch(Prompter &prompter, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<Ui::frmFetch>())
    , m_prompter(prompter)
{
    m_ui->setupUi(this);
    setWindowIcon(ProgramIcon());
    setWindowTitle(ProgramTitle());

    // The widget's own name is its class name, which the generated form cannot use as a member.
    fpProgressBar *bar = m_ui->progressBar;
    bar->setObjectName(u"fpProgressBar"_s);
    bar->setBarColor(8388608);
    bar->setBackColor(16777215);
    bar->setFont(DesignFont(9));
    bar->setMax(100);
    bar->setStyle(0);
    bar->setUnit(u" Article(s) / 0  Article(s)"_s);
    bar->setValue(0);
    bar->setValueShow(true);

    connect(m_ui->btnCancel, &QPushButton::clicked, this, &frmFetch::askCancel);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, m_ui->btnCancel, &QPushButton::click);
}

frmFetch::~frmFetch() = default;

fpProgressBar *frmFetch::progressBar() const
{
    return m_ui->progressBar;
}

// Each setter runs at once on the window's thread and is queued from any other, so a run
// waiting on a slow request never holds the window up.
void frmFetch::setInfo(const QString &text)
{
    QMetaObject::invokeMethod(this, [this, text] { m_ui->lblInfo->setText(text); });
}

void frmFetch::setCaption(const QString &text)
{
    QMetaObject::invokeMethod(this, [this, text] { setWindowTitle(text); });
}

void frmFetch::setMax(qint32 max)
{
    QMetaObject::invokeMethod(this, [this, max] { m_ui->progressBar->setMax(max); });
}

void frmFetch::setValue(qint32 value)
{
    QMetaObject::invokeMethod(this, [this, value] { m_ui->progressBar->setValue(value); });
}

void frmFetch::setUnit(const QString &unit)
{
    QMetaObject::invokeMethod(this, [this, unit] { m_ui->progressBar->setUnit(unit); });
}

bool frmFetch::waitForAnswer() const
{
    std::unique_lock lock(m_mutex);
    if (QThread::currentThread() != thread())
        m_answered.wait(lock, [this] { return !m_asking || m_stopped; });
    return m_stopped;
}

bool frmFetch::letEventsThrough()
{
    // A run on the window's own thread has to yield for Cancel to be seen at all; the question
    // is then answered before processEvents() returns.
    if (QThread::currentThread() == thread())
        QCoreApplication::processEvents();
    return !waitForAnswer();
}

bool frmFetch::mayGoOn()
{
    return !waitForAnswer();
}

bool frmFetch::cancelled() const
{
    if (waitForAnswer())
        return true;
    {
        const std::lock_guard lock(m_mutex);
        m_writing = true;
    }
    QMetaObject::invokeMethod(m_ui->btnCancel,
                              [button = m_ui->btnCancel] { button->setEnabled(false); });
    return false;
}

void frmFetch::stop()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_answered.notify_all();
}

void frmFetch::askCancel()
{
    {
        // Esc pressed again while the question is open must not stack a second question, and
        // a run that is writing its output can no longer be stopped half-way.
        const std::lock_guard lock(m_mutex);
        if (m_asking || m_stopped || m_writing)
            return;
        m_asking = true;
    }
    emit cancelQuestionOpen(true);
    const bool yes = m_prompter.askYesNo(u"取得を中止しますか？"_s, MessageIcon::Question);
    bool confirmed = false;
    {
        const std::lock_guard lock(m_mutex);
        m_asking = false;
        confirmed = yes && !m_stopped;
        if (confirmed)
            m_stopped = true;
    }
    m_answered.notify_all();
    if (!confirmed) {
        emit cancelQuestionOpen(false);
        return;
    }
    hide();
    emit cancelConfirmed();
}

void frmFetch::closeEvent(QCloseEvent *event)
{
    {
        // The program is ending: the window goes with it.
        const std::lock_guard lock(m_mutex);
        if (m_stopped) {
            event->accept();
            return;
        }
    }
    // Closing the window is a cancel: the same question and the same pause. Asked once the
    // close has been dealt with, not inside it.
    event->ignore();
    QMetaObject::invokeMethod(this, &frmFetch::askCancel, Qt::QueuedConnection);
}
