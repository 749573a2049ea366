#pragma once

class QPainter;
class QPixmap;

// Fills W x H of the target with copies of picture, each drawn at PW x PH, column by column
// from the top-left; the last column and row run past the edge and are clipped by the caller's
// surface. Sizes of 0 or less draw nothing (the loops would never end).
void TilePicture(QPainter &target, int W, int H, const QPixmap &picture, int PW, int PH);
