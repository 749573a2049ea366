#include "ui/ScreenFit.h"

#include <QScrollArea>
#include <QTabWidget>

#include <algorithm>

namespace {

// QScrollArea caps its size hint at a few dozen lines of text, which would shrink a page that
// has all the room it wants.
class PageScrollArea final : public QScrollArea
{
public:
    using QScrollArea::QScrollArea;

    QSize sizeHint() const override
    {
        const int frame = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(frame, frame) : QScrollArea::sizeHint();
    }
};

} // namespace

QRect FitOnScreen(QSize natural, QSize minimum, const QMargins &frame, const QRect &available)
{
    const QSize room = available.size().shrunkBy(frame);
    const QSize size = natural.boundedTo(room).expandedTo(minimum).expandedTo(QSize(1, 1));
    const QSize outer = size.grownBy(frame);
    const int left = available.left() + std::max(0, (available.width() - outer.width()) / 2);
    const int top = available.top() + std::max(0, (available.height() - outer.height()) / 2);
    return QRect(QPoint(left + frame.left(), top + frame.top()), size);
}

std::optional<QPoint> PlaceBeside(const QRect &companion, QSize outer, const QRect &available)
{
    const int lowest =
        std::max(available.top(), available.top() + available.height() - outer.height());
    const int top = std::clamp(companion.top(), available.top(), lowest);
    const int right = companion.left() + companion.width();
    if (right >= available.left() && right + outer.width() <= available.left() + available.width())
        return QPoint(right, top);
    const int left = companion.left() - outer.width();
    if (left >= available.left() && companion.left() <= available.left() + available.width())
        return QPoint(left, top);
    return std::nullopt;
}

void MakePagesScrollable(QTabWidget &tabs)
{
    const int current = tabs.currentIndex();
    for (int i = 0; i < tabs.count(); ++i) {
        QWidget *page = tabs.widget(i);
        const QString title = tabs.tabText(i);
        tabs.removeTab(i);
        auto *scroller = new PageScrollArea;
        scroller->setObjectName(page->objectName() + QStringLiteral("Scroller"));
        scroller->setFrameShape(QFrame::NoFrame);
        scroller->setWidgetResizable(true);
        // The page keeps the tab's look rather than the scroll area's plain background.
        scroller->viewport()->setAutoFillBackground(false);
        page->setAutoFillBackground(false);
        scroller->setWidget(page);
        tabs.insertTab(i, scroller, title);
    }
    tabs.setCurrentIndex(current);
}
