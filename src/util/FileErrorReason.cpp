#include "util/FileErrorReason.h"

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

QString FileErrorReason(int systemError)
{
    switch (systemError) {
    case EROFS:
        return u"読み取り専用のファイルシステムです"_s;
    case EACCES:
    case EPERM:
        return u"書き込む権限がありません"_s;
    case ENAMETOOLONG:
        return u"ファイル名が長すぎます"_s;
    case ENOENT:
        return u"フォルダがありません"_s;
    case ENOTDIR:
        return u"フォルダの代わりにファイルがあります"_s;
    case EISDIR:
        return u"同じ名前のフォルダがあります"_s;
    case ENOSPC:
        return u"ディスクに空きがありません"_s;
    case EDQUOT:
        return u"ディスクの使用量の上限に達しています"_s;
    case EILSEQ:
    case EINVAL:
        return u"ファイル名に使えない文字があります"_s;
    case ETXTBSY:
    case EBUSY:
        return u"ファイルが使用中です"_s;
    case ELOOP:
        return u"シンボリックリンクが多すぎます"_s;
    default:
        return QString::fromLocal8Bit(std::strerror(systemError));
    }
}
