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

bool frmFetch::letEventsThrough()
{
    // A run on the window's own thread has to yield for Cancel to be seen at all.
    if (QThread::currentThread() == thread())
        QCoreApplication::processEvents();
    return !m_stopped.load();
}

void frmFetch::askCancel()
{
    // Esc pressed again while the question is open must not stack a second question.
    if (m_asking || m_stopped.load())
        return;
    m_asking = true;
    const bool yes = m_prompter.askYesNo(u"取得を中止しますか？"_s, MessageIcon::Question);
    m_asking = false;
    if (!yes || m_stopped.load())
        return;
    hide();
    m_stopped.store(true);
    emit cancelConfirmed();
}

void frmFetch::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_stopped.exchange(true))
        return;
    emit closedByUser();
}
