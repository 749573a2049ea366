#include "ui/TilePicture.h"

#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

void TilePicture(QPainter &target, int W, int H, const QPixmap &picture, int PW, int PH)
{
    if (PW <= 0 || PH <= 0 || W < 0 || H < 0 || picture.isNull())
        return;
    // Tiles past the surface would be clipped anyway; a huge W or H must not stall the window.
    if (target.device() && target.worldTransform().isIdentity()) {
        W = std::min(W, target.device()->width());
        H = std::min(H, target.device()->height());
    }
    // 64-bit steps: a column next to INT_MAX must not wrap around and start over.
    for (qint64 x = 0; x <= W; x += PW) {
        for (qint64 y = 0; y <= H; y += PH)
            target.drawPixmap(QRect(int(x), int(y), PW, PH), picture);
    }
}
