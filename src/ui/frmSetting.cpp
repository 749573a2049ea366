#include "ui/frmSetting.h"

#include "startup/ProgramState.h"
#include "ui/ProductLook.h"
#include "ui/ScreenFit.h"
#include "ui/SettingWindowHost.h"
#include "ui_frmSetting.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

int storedState(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

// A greyed state stays until the person clicks; a click only ever gives ticked or unticked.
void showStoredState(QCheckBox *box, int state)
{
    box->setTristate(state == 2);
    box->setCheckState(state == 2 ? Qt::PartiallyChecked
                                  : (state == 1 ? Qt::Checked : Qt::Unchecked));
}

// Three bars over a small arrow: "more commands below".
QIcon menuIcon(const QPalette &palette)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette.color(QPalette::ButtonText);
    for (int y : {2, 5, 8})
        painter.fillRect(QRect(2, y, 12, 2), ink);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPolygon(QPolygonF({QPointF(4, 11), QPointF(12, 11), QPointF(8, 15)}));
    return QIcon(pixmap);
}

} // namespace

QString MenuButtonTip(const QMenu &menu)
{
    static const QRegularExpression accessKey(u"\\(&.\\)$"_s);
    QStringList items;
    for (const QAction *action : menu.actions()) {
        if (action->isSeparator())
            continue;
        QString item = action->text().remove(accessKey);
        if (action->objectName() == u"MenuHelpView"_s)
            item += u" (F1)"_s;
        items << item;
    }
    return u"メニュー: "_s + items.join(u"、"_s);
}

QString SaveFileNameHelpText()
{
    return u"　ファイルは、日別にすることも、固定(同じファイルに追記する)事も出来ます。"
           u"黒背景の部分には以下の記号が使えます。"
           u"\r\n\r\n"
           u" yyyy(又はyy) mm = 月 dd = 日 と言うような記号を使用できます。"
           u"詳しくはヘルプを参照してください。"
           u"\r\n\r\n"
           u"例) 「VHT」「yyyymmdd」(←この部分)「」"_s;
}

frmSetting::frmSetting(ProgramState &state, Prompter &prompter, SettingWindowHost &host,
                       QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::frmSetting>())
    , m_state(state)
    , m_prompter(prompter)
    , m_host(host)
{
    setFont(DesignFont(9));
    m_ui->setupUi(this);
    m_category = {m_ui->ChkCategory_0, m_ui->ChkCategory_1,  m_ui->ChkCategory_2,
                  m_ui->ChkCategory_3, m_ui->ChkCategory_4,  m_ui->ChkCategory_5,
                  m_ui->ChkCategory_6, m_ui->ChkCategory_7,  m_ui->ChkCategory_8,
                  m_ui->ChkCategory_9, m_ui->ChkCategory_10, m_ui->ChkCategory_11};
    m_saveFileName = {m_ui->txtSaveFileName_0, m_ui->txtSaveFileName_1, m_ui->txtSaveFileName_2};
    m_ignoreKey = new QButtonGroup(this);
    m_ignoreKey->addButton(m_ui->optIgnoreKey_0, 0);
    m_ignoreKey->addButton(m_ui->optIgnoreKey_1, 1);
    m_ignoreKey->addButton(m_ui->optIgnoreKey_2, 2);

    prepareWindow();
    connectActions();
    loadFrom(m_state.settings);
    showKeyWords();
}

frmSetting::~frmSetting() = default;

void frmSetting::prepareWindow()
{
    setWindowTitle(ProductName() + VersionText());
    setWindowIcon(ProgramIcon());
    // The pages scroll only when the screen leaves less room than even their minimum.
    MakePagesScrollable(*m_ui->SSTab);
    // The tab control and the buttons use the widget font; the keyword-mode frame with its
    // options and the details frame keep the window's, though the details' boxes do not.
    // The date-pattern box's style sheet fixed its font when it was made: it is named too.
    for (QWidget *widget : std::initializer_list<QWidget *>{
             m_ui->SSTab, m_ui->txtSaveFileName_1, m_ui->btnMenu, m_ui->btnSaveExit, m_ui->btnFetch,
             m_ui->chkNoCopyINI, m_ui->chkNoKeyWord, m_ui->chkSkipSaved})
        widget->setFont(WidgetFont(9));
    for (QWidget *widget : std::initializer_list<QWidget *>{m_ui->Frame1, m_ui->framDesc})
        widget->setFont(font());
    m_ui->SSTab->setCurrentIndex(0);
    m_ui->txtHelp->setPlainText(SaveFileNameHelpText());
    m_ui->btnMenu->setIcon(menuIcon(palette()));

    m_menu = new QMenu(u"右クリック"_s, this);
    m_menu->setObjectName(u"MenuRightClick"_s);
    m_menu->addAction(m_ui->MenuSettingSave);
    m_menu->addAction(m_ui->MenuQuitNoSave);
    m_menu->addSeparator()->setObjectName(u"MenuSettingBar"_s);
    m_menu->addAction(m_ui->MenuHelpView);
    m_menu->addAction(m_ui->MenuHelpVerInfo);
    m_menu->addSeparator()->setObjectName(u"MenuHelpBar"_s);
    m_menu->addAction(m_ui->MenuHPOpen);
    m_menu->addAction(m_ui->MenuHPBBS);
    m_menu->addAction(m_ui->MenuHPSendMail);
    m_menu->addSeparator()->setObjectName(u"MenuHPBar"_s);
    m_menu->addAction(m_ui->MenuKifu);
    // The button shows an icon only: its tip says what is behind it.
    m_ui->btnMenu->setToolTip(MenuButtonTip(*m_menu));
    m_ui->btnMenu->setAccessibleName(u"メニュー"_s);

    // Key preview: Esc means "quit" wherever the focus is.
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (!child->isWindow())
            child->installEventFilter(this);
    }
}

void frmSetting::connectActions()
{
    for (QCheckBox *box : findChildren<QCheckBox *>()) {
        connect(box, &QCheckBox::clicked, box, [box] { box->setTristate(false); });
    }
    connect(m_ui->btnAddKey, &QPushButton::clicked, this, &frmSetting::addKeyWord);
    connect(m_ui->btnDeleteKey, &QPushButton::clicked, this, &frmSetting::deleteKeyWord);
    connect(m_ui->btnFetch, &QPushButton::clicked, this, &frmSetting::btnFetch_Click);
    connect(m_ui->btnSaveExit, &QPushButton::clicked, this, &frmSetting::btnSaveExit_Click);
    connect(m_ui->btnMenu, &QPushButton::clicked, this, &frmSetting::showMenu);
    connect(m_ui->btnRefSaveFolder, &QPushButton::clicked, this, &frmSetting::browseSaveFolder);
    connect(m_ui->MenuSettingSave, &QAction::triggered, this, &frmSetting::saveKeyWordsAndSettings);
    connect(m_ui->MenuQuitNoSave, &QAction::triggered, this, &frmSetting::quitWithoutSaving);
    connect(m_ui->MenuHelpView, &QAction::triggered, this, &frmSetting::openHelp);
    connect(m_ui->MenuHelpVerInfo, &QAction::triggered, this, [this] { m_host.showAbout(this); });
    connect(m_ui->MenuHPOpen, &QAction::triggered, this, &frmSetting::openHomePage);
    connect(m_ui->MenuHPBBS, &QAction::triggered, this, &frmSetting::openHomePage);
    connect(m_ui->MenuHPSendMail, &QAction::triggered, this, &frmSetting::sendMail);
    connect(m_ui->MenuKifu, &QAction::triggered, this, &frmSetting::explainDonation);
}

void frmSetting::loadFrom(const Settings &settings)
{
    for (std::size_t i = 0; i < m_category.size(); ++i)
        showStoredState(m_category[i], settings.Category[i]);
    showStoredState(m_ui->chkYesterday, settings.Yesterday);
    showStoredState(m_ui->chkOverWrite, settings.OverWrite);
    showStoredState(m_ui->chkNoCopyINI, settings.NoCopyINI);
    showStoredState(m_ui->chkNoKeyWord, settings.NoKeyWord);
    showStoredState(m_ui->chkSkipSaved, settings.SkipSaved);
    m_ui->spinConnections->setValue(settings.Connections);
    m_ui->txtSaveFolder->setText(settings.SaveFolder);
    for (std::size_t i = 0; i < m_saveFileName.size(); ++i)
        m_saveFileName[i]->setText(settings.SaveFileName[i]);

    // A mode the window does not offer selects nothing, so that a save keeps the stored one.
    if (QAbstractButton *option = m_ignoreKey->button(settings.IgnoreKey)) {
        option->setChecked(true);
    } else if (QAbstractButton *selected = m_ignoreKey->checkedButton()) {
        m_ignoreKey->setExclusive(false);
        selected->setChecked(false);
        m_ignoreKey->setExclusive(true);
    }
}

void frmSetting::storeTo(Settings &settings) const
{
    for (std::size_t i = 0; i < m_category.size(); ++i)
        settings.Category[i] = storedState(m_category[i]);
    settings.Yesterday = storedState(m_ui->chkYesterday);
    settings.OverWrite = storedState(m_ui->chkOverWrite);
    settings.NoCopyINI = storedState(m_ui->chkNoCopyINI);
    settings.NoKeyWord = storedState(m_ui->chkNoKeyWord);
    settings.SkipSaved = storedState(m_ui->chkSkipSaved);
    settings.Connections = m_ui->spinConnections->value();
    settings.SaveFolder = m_ui->txtSaveFolder->text();
    for (std::size_t i = 0; i < m_saveFileName.size(); ++i)
        settings.SaveFileName[i] = m_saveFileName[i]->text();
    settings.IgnoreKey = m_ignoreKey->checkedId();
}

void frmSetting::showKeyWords()
{
    m_ui->lstKeyWord->clear();
    m_ui->lstKeyWord->addItems(m_state.keyWords.items());
}

bool frmSetting::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        quitWithoutSaving();
        return true;
    }
    // While the keyword box has the focus, Enter adds the keyword instead of starting a fetch.
    if (watched == m_ui->txtKeyWord) {
        if (event->type() == QEvent::FocusIn)
            m_ui->btnAddKey->setDefault(true);
        else if (event->type() == QEvent::FocusOut)
            m_ui->btnFetch->setDefault(true);
    }
    return QDialog::eventFilter(watched, event);
}

void frmSetting::setVisible(bool visible)
{
    // Before the platform window exists, so that it is made on the screen it was meant for.
    if (visible && !m_placed) {
        m_placed = true;
        fitToScreen();
    }
    QDialog::setVisible(visible);
}

QMargins frmSetting::frameMargins() const
{
    if (const QWindow *window = windowHandle(); window && !window->frameMargins().isNull())
        return window->frameMargins();
    // Not shown yet: what a window manager's border and title bar usually take.
    const int border = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this) + 2;
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return QMargins(border, title + border, border, border);
}

void frmSetting::fitToScreen()
{
    const QSize natural = sizeHint();
    const QRect available = screen()->availableGeometry();
    const QMargins frame = frameMargins();
    QRect placed = FitOnScreen(natural, natural, frame, available);
    if (!available.contains(placed.marginsAdded(frame))) {
        // The designed size of the tab control gives way to the layout's minimum, and below
        // that the pages scroll.
        m_ui->SSTab->setMinimumSize(0, 0);
        placed = FitOnScreen(natural, minimumSizeHint(), frame, available);
    }
    // The person cannot resize the window.
    setFixedSize(placed.size());
    move(placed.topLeft() - QPoint(frame.left(), frame.top()));
}

void frmSetting::reject()
{
    quitWithoutSaving();
}

void frmSetting::closeEvent(QCloseEvent *event)
{
    if (m_ending || quitWithoutSaving())
        event->accept();
    else
        event->ignore();
}
