#include "ui/WrapRadioButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>

WrapRadioButton::WrapRadioButton(QWidget *parent)
    : QRadioButton(parent)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

QRect WrapRadioButton::indicatorRect() const
{
    const int side = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, this);
    const int height = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, this);
    const int lineHeight = fontMetrics().height();
    return {0, std::max(0, (lineHeight - height) / 2), side, height};
}

QRect WrapRadioButton::textRect(int width) const
{
    const int spacing = style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, this);
    const int left = indicatorRect().width() + spacing;
    const QRect bounds = fontMetrics().boundingRect(QRect(0, 0, std::max(1, width - left), 10000),
                                                    TextFlags | Qt::TextShowMnemonic, text());
    return {left, 0, std::max(1, width - left), bounds.height()};
}

int WrapRadioButton::heightForWidth(int width) const
{
    return std::max(textRect(width).height(), indicatorRect().bottom() + 1) + 2;
}

QSize WrapRadioButton::sizeHint() const
{
    const int width = std::max(minimumWidth(), 120);
    return {width, heightForWidth(width)};
}

QSize WrapRadioButton::minimumSizeHint() const
{
    return {indicatorRect().width() * 3, heightForWidth(minimumWidth())};
}

bool WrapRadioButton::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}

void WrapRadioButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    QStyleOptionButton indicator = option;
    indicator.rect = indicatorRect();
    style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &indicator, &painter, this);

    const QRect caption = textRect(width());
    const int mnemonic = style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this)
                             ? Qt::TextShowMnemonic
                             : Qt::TextHideMnemonic;
    style()->drawItemText(&painter, caption, TextFlags | mnemonic, option.palette, isEnabled(),
                          text(), QPalette::WindowText);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = caption.adjusted(-1, 0, 1, 0);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
