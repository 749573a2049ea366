#pragma once

#include <QRadioButton>

// An option button whose caption wraps onto further lines, as the keyword options need: their
// captions are longer than the frame is wide. The caption is laid out for the minimum width, so
// the window's fixed size does not depend on which page is showing.
class WrapRadioButton final : public QRadioButton
{
    Q_OBJECT

public:
    explicit WrapRadioButton(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    // Where the caption goes for a button of the given width, and where the indicator goes.
    QRect textRect(int width) const;
    QRect indicatorRect() const;
    static constexpr int TextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
};
