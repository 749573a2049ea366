// The commands of the settings window: keywords, saving, the ways out, and the popup menu.
#include "engine/ExitStatus.h"
#include "startup/ProgramState.h"
#include "ui/DesktopOpen.h"
#include "ui/MakerInfo.h"
#include "ui/SettingWindowHost.h"
#include "ui/frmSetting.h"
#include "ui_frmSetting.h"
#include "util/FileTools.h"
#include "util/Prompter.h"

#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

const QString QuitQuestion = u"変更した設定が保存されませんがよろしいですか？"_s;

QString donationNote()
{
    const QStringList lines = {
        u"　Varnholt はフリーソフトウェアです。"_s,
        u"どなたでも無料でお使いいただけます。"_s,
        QString(),
        u"　もしよろしければ、作者のホームページに"_s,
        u"掲載している広告をクリックしていただけると"_s,
        u"今後の開発の励みになります。"_s,
        QString(),
        u"　また、寄付も喜んでお受けしております。"_s,
        u"寄付の方法などの詳細については、"_s,
        u"メールでお問い合わせください。"_s,
        QString(),
        u"　作者にメールを送信しますか？"_s,
        u"「はい」を押すと、メールの作成画面を開きます。"_s,
        u"「いいえ」を押すと、このまま閉じます。"_s,
    };
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

} // namespace

void frmSetting::addKeyWord()
{
    const QString text = m_ui->txtKeyWord->text();
    if (text.isEmpty())
        return;
    KeyWordList &keyWords = m_state.keyWords;
    if (keyWords.findCaseInsensitive(text) < 0) {
        m_ui->lstKeyWord->insertItem(keyWords.insertSorted(text), text);
        keyWords.KeyWordChanged = true;
    }
    m_ui->txtKeyWord->clear();
    m_ui->txtKeyWord->setFocus();
}

void frmSetting::deleteKeyWord()
{
    const QList<QListWidgetItem *> selected = m_ui->lstKeyWord->selectedItems();
    if (selected.isEmpty())
        return;
    const int index = m_ui->lstKeyWord->row(selected.first());
    m_state.keyWords.removeAt(index);
    delete m_ui->lstKeyWord->takeItem(index);
    m_state.keyWords.KeyWordChanged = true;
}

bool frmSetting::saveKeyWordsAndSettings()
{
    storeTo(m_state.settings);
    const FileResult saved = SaveKeyWordsAndSettings(m_state);
    if (!saved) {
        // The window stays with everything the person entered, so nothing is lost.
        m_prompter.tell(u"設定を保存できませんでした。\r\n"_s + saved.error, MessageIcon::Stop);
    }
    return saved.ok;
}

void frmSetting::btnSaveExit_Click()
{
    if (!m_ending && saveKeyWordsAndSettings())
        endProgram(ExitNormal);
}

void frmSetting::btnFetch_Click()
{
    if (m_ending)
        return;
    storeTo(m_state.settings);
    hide();
    m_host.startFetch();
}

bool frmSetting::quitWithoutSaving()
{
    if (m_ending)
        return true;
    if (m_state.keyWords.KeyWordChanged &&
        !m_prompter.askYesNo(QuitQuestion, MessageIcon::Question)) {
        return false;
    }
    endProgram(ExitNormal);
    return true;
}

void frmSetting::endProgram(int status)
{
    m_ending = true;
    hide();
    m_host.endProgram(status);
}

void frmSetting::showMenu()
{
    m_menu->popup(m_ui->btnMenu->mapToGlobal(QPoint(0, m_ui->btnMenu->height())));
}

void frmSetting::browseSaveFolder()
{
    const QString chosen = TrimAtNul(
        m_host.browseForFolder(this, u"フォルダを選択してください"_s, m_ui->txtSaveFolder->text()));
    if (!chosen.isEmpty())
        m_ui->txtSaveFolder->setText(chosen);
}

void frmSetting::openHelp()
{
    OpenHelp(m_state.programFolder, m_host, m_prompter);
}

void frmSetting::openHomePage()
{
    m_prompter.tell(u"ネットスケープでは表示が乱れることがあります。\r\nご了承ください。"_s,
                    MessageIcon::Information);
    OpenLink(MakerHomePage, m_host, m_prompter);
}

void frmSetting::sendMail()
{
    const QString question = u"　作者に連絡する場合は、できるだけ掲示板を使用してください。\r\n"
                             u"共通の問題を抱えている人の間で情報を共有するためです。\r\n\r\n"
                             u"　それでもまだ、メールで送信しますか？"_s;
    if (m_prompter.askYesNo(question, MessageIcon::Exclamation))
        OpenLink(u"mailto:"_s + MakerMailAddress, m_host, m_prompter);
    else
        openHomePage();
}

void frmSetting::explainDonation()
{
    if (m_prompter.askYesNo(donationNote(), MessageIcon::Information, u"寄付についての説明"_s))
        OpenLink(u"mailto:"_s + MakerMailAddress, m_host, m_prompter);
    else
        m_prompter.tell(u"残念です (^^;"_s, MessageIcon::Information);
}
