#pragma once

#include "util/Version.h"

#include <QFont>
#include <QIcon>
#include <QString>

// How the program presents itself in every window: its name, version and title (util/Version.h),
// its icon and the Japanese UI font the windows were designed with.

// The designed font "ＭＳ Ｐゴシック" at the given size, falling back to a Japanese-capable sans
// font where that face is not installed.
QFont DesignFont(qreal pointSize, bool bold = false, bool italic = false);
// The settings window's widget font "MS UI Gothic", with the same fallbacks.
QFont WidgetFont(qreal pointSize);

// The images live in a static library: make sure they are registered before use.
void InitUiResources();
QIcon ProgramIcon();
