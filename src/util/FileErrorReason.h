#pragma once

#include <QString>

// The system's error number of a file operation as a reason a person reads, in Japanese
// ("読み取り専用のファイルシステムです"); the system's own text for the rare ones.
QString FileErrorReason(int systemError);
