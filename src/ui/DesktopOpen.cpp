#include "ui/DesktopOpen.h"

#include "ui/SettingWindowHost.h"
#include "util/ProgramFolder.h"
#include "util/Prompter.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

void OpenHelp(const QString &programFolder, SettingWindowHost &host, Prompter &prompter)
{
    const QString path = ShippedFilePath(programFolder, u"VHT.html"_s);
    if (!QFileInfo(path).isFile()) {
        prompter.tell(u"ヘルプを開けませんでした。\r\n"_s + path + u"\r\nファイルがありません。"_s,
                      MessageIcon::Exclamation);
        return;
    }
    if (!host.openDocument(path))
        prompter.tell(u"ヘルプを開けませんでした。\r\n"_s + path +
                          u"\r\nHTMLファイルを開くプログラム(ブラウザ)が見つかりません。"_s,
                      MessageIcon::Exclamation);
}

void OpenLink(const QString &address, SettingWindowHost &host, Prompter &prompter)
{
    if (!host.openAddress(address))
        prompter.tell(
            u"開けませんでした。\r\n"_s + address +
                u"\r\nこのアドレスを開くプログラム(ブラウザ、メールソフト)が見つかりません。"_s,
            MessageIcon::Exclamation);
}
