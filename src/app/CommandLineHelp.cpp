#include "CommandLineHelp.h"

#include "util/Version.h"

using namespace Qt::StringLiterals;

QString VersionLine()
{
    return ProgramTitle();
}

QString HelpText()
{
    return VersionLine() + uR"(

使い方 / Usage: varnholt [スイッチ / switches]

スイッチは大文字・小文字を区別しません。値はスペースまで続きます(引用符なし)。
Switches ignore letter case; a value runs up to the next space (no quoting).

  /AutoGet     設定画面を出さずにすぐ収集して終了します
               collect at once without the settings window, then end
  /HideMe      収集中の進行状況画面を出しません
               do not show the progress window during the run
  /Open        収集後、出力ファイルを関連付けられたプログラムで開きます
               open the output file with its program after the run
  /Yesterday   前日の記事も収集します
               also collect the previous day's headlines
  /NoAddKey    保存する記事に検索キーワードを付けません
               do not add the matched keyword to saved articles
  /GetOnlyURL  キーワードに合わない記事はアドレスだけ保存します
               keep only the address of articles without a keyword
  /IgnoreKey   キーワードに関係なくすべての記事を保存します
               keep every article regardless of keywords
  /Debug       デバッグ画面にログを表示します
               show log lines in the debug window
  /Log         DebugLog.txt にログを追記します
               append log lines to DebugLog.txt
  /qfw /qfb /qfk /csv
               出力形式 (既定は .qfw)
               output layout (.qfw unless another is given)
  /OverWrite   出力ファイルを上書きします
               replace the output file
  /Append      出力ファイルに追記します
               append to the output file
  /F1名前 /F2日付パターン /F3名前
               保存ファイル名の三つの部分 / the three parts of the file name
  /FOフォルダ  今回の保存フォルダ / the output folder for this run

  --help       この説明 / this text
  --version    版数 / the version

終了コード / Exit status:
  0  正常、すべてのページを取得 / every page fetched, the output written
  3  出力したが取得できないページあり / the output written, some pages could not be fetched
  1  出力なし・保存失敗 / nothing written (gave up, cancelled, not writable) or a save failed
  2  起動できず / could not start
/AutoGet は終わりに一行、件数・ファイル・取得できなかったページを標準エラーに書きます。
/AutoGet ends with one line on standard error: records written, the file, pages not fetched.
)"_s;
}

EarlyAction EarlyActionOf(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument == u"--help"_s)
            return EarlyAction::PrintHelp;
        if (argument == u"--version"_s)
            return EarlyAction::PrintVersion;
    }
    return EarlyAction::Run;
}
