#include "ui/SplashForm.h"

#include "ui/MakerInfo.h"
#include "ui/ProductLook.h"
#include "ui/TilePicture.h"
#include "ui_SplashForm.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

void setLook(QLabel *label, const QColor &colour, const QFont &font)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setFont(font);
}

QPoint eventPos(const QEvent *event)
{
    return static_cast<const QMouseEvent *>(event)->position().toPoint();
}

// Where a label's text lies, in its parent's coordinates.
QRect textRect(const QLabel *label)
{
    const QSize text = label->fontMetrics().size(Qt::TextSingleLine, label->text());
    const QRect inLabel = QStyle::alignedRect(label->layoutDirection(), label->alignment(), text,
                                              label->contentsRect());
    return inLabel.translated(label->pos());
}

} // namespace

SplashForm::SplashForm(AddressOpener openAddress, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_ui(std::make_unique<Ui::SplashForm>())
    , m_openAddress(std::move(openAddress))
{
    InitUiResources();
    m_ui->setupUi(this);
    setModal(true);
    setWindowIcon(ProgramIcon());
    setWindowTitle(ProgramTitle());
    m_ui->lblVer->setText(VersionText());
    m_ui->Label5->setText(u"最新版は作者のホームページ "_s + MakerHomePage +
                          u" で公開しています。"_s);
    m_ui->Image1->setPixmap(ProgramIcon().pixmap(QSize(80, 80)));
    m_ui->Picture1->setPixmap(QPixmap(u":/varnholt/tile.png"_s));
    applyLook();

    for (QLabel *clickable : {m_ui->BtnOK, m_ui->Label5, m_ui->Label7, m_ui->Image1})
        clickable->installEventFilter(this);

    // Grow past the designed size only when the installed fonts need more room.
    setFixedSize(QSize(543, 374).expandedTo(minimumSizeHint()));

    // The centre of the screen, not of the window that opened it.
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->geometry().center() - rect().center());
}

SplashForm::~SplashForm() = default;

void SplashForm::applyLook()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);

    setLook(m_ui->Label1, QColor(128, 128, 128), DesignFont(36, false, true));
    setLook(m_ui->Label2, QColor(255, 255, 128), DesignFont(36, false, true));
    setLook(m_ui->lblVer, Qt::white, DesignFont(12));
    setLook(m_ui->Label6, QColor(192, 192, 0), DesignFont(15.75, true));
    const QColor silver(192, 192, 192);
    setLook(m_ui->Label5, silver, DesignFont(9));
    setLook(m_ui->Label4, silver, DesignFont(9));
    setLook(m_ui->Label3, silver, DesignFont(9));
    setLook(m_ui->Label7, QColor(255, 128, 128), DesignFont(12, true));

    setLook(m_ui->BtnOK, QColor(0, 192, 0), DesignFont(11.25));
    QPalette okPalette = m_ui->BtnOK->palette();
    okPalette.setColor(QPalette::Window, QColor(64, 64, 64));
    m_ui->BtnOK->setPalette(okPalette);
    m_ui->BtnOK->setAutoFillBackground(true);
    m_ui->BtnOK->setFrameShape(QFrame::NoFrame);

    const QCursor linkCursor(QPixmap(u":/varnholt/link-cursor.png"_s), 1, 1);
    m_ui->Label5->setCursor(linkCursor);
    m_ui->Label7->setCursor(linkCursor);
}

QRegion SplashForm::roundedRegion(const QSize &size)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(0, 0, size.width(), size.height()), 100, 100);
    return QRegion(path.toFillPolygon().toPolygon());
}

void SplashForm::renderBackground()
{
    const qreal ratio = devicePixelRatioF();
    m_background = QPixmap(size() * ratio);
    m_background.setDevicePixelRatio(ratio);
    m_background.fill(Qt::black);
    QPainter painter(&m_background);
    TilePicture(painter, width(), height(), m_ui->Picture1->pixmap(), 50, 50);
}

void SplashForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    renderBackground();
    setMask(roundedRegion(size()));
}

void SplashForm::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);

    // Two navy strokes: one rising from under the name's first part to the top of its last
    // part, one under the credit; both follow where the fonts put the texts.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 0, 128), 4));
    const QRect first = textRect(m_ui->Label1);
    const QRect last = textRect(m_ui->Label2);
    painter.drawLine(QPoint(first.left() + 8, first.bottom()),
                     QPoint(last.left() + 16, last.top()));
    const QRect credit = textRect(m_ui->Label6);
    painter.drawLine(QPoint(credit.left(), credit.bottom() + 4),
                     QPoint(credit.right(), credit.bottom() - 4));
}

void SplashForm::mousePressEvent(QMouseEvent *event)
{
    // Presses on a label reach here too, passed up from it: only the background drags.
    if (!(event->buttons() & Qt::LeftButton) || childAt(event->position().toPoint()))
        return;
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    // Platforms without a system move: follow the mouse by hand.
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - pos();
}

void SplashForm::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - m_dragOffset);
}

void SplashForm::mouseReleaseEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton))
        m_dragging = false;
}

bool SplashForm::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched == m_ui->BtnOK)
            m_ui->BtnOK->setFrameShape(QFrame::Box);
        m_pressedLabel = watched;
        return true;
    case QEvent::MouseButtonRelease: {
        if (watched == m_ui->BtnOK)
            m_ui->BtnOK->setFrameShape(QFrame::NoFrame);
        const auto *label = static_cast<QWidget *>(watched);
        const bool click = m_pressedLabel == watched &&
                           static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton &&
                           label->rect().contains(eventPos(event));
        m_pressedLabel = nullptr;
        if (click)
            labelClicked(watched);
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void SplashForm::labelClicked(QObject *label)
{
    if (label == m_ui->BtnOK)
        accept();
    else if (label == m_ui->Label5)
        openAndClose(MakerHomePage);
    else if (label == m_ui->Label7)
        openAndClose(PartnerSite);
    else if (label == m_ui->Image1)
        showJoke();
}

void SplashForm::openAndClose(const QString &address)
{
    if (m_openAddress)
        m_openAddress(address);
    accept();
}

void SplashForm::showJoke()
{
    QFont first = m_ui->Label1->font();
    first.setPointSizeF(25);
    m_ui->Label1->setFont(first);
    QFont last = m_ui->Label2->font();
    last.setPointSizeF(20);
    m_ui->Label2->setFont(last);
    m_ui->Label1->setText(u"見つけても意味ないですよ～。"_s);
    m_ui->Label2->setText(u"Produced by Team Kestrane"_s);
}
