#include "ui/fpProgressBar.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QColor fromPackedRgb(qint32 packed)
{
    const auto bits = static_cast<quint32>(packed);
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

QVariant storedValue(const fpProgressBar::StoredProperties &stored, const QString &name)
{
    for (const auto &[key, value] : stored) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

} // namespace

QString GroupedNumber(qint64 number, const QString &groupSeparator)
{
    const bool negative = number < 0;
    const QString digits = QString::number(number).remove(u'-');
    QString grouped;
    grouped.reserve(digits.size() + digits.size() / 3 * groupSeparator.size() + 1);
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += groupSeparator;
        grouped += digits.at(i);
    }
    return negative ? u'-' + grouped : grouped;
}

fpProgressBar::fpProgressBar(QWidget *parent)
    : QWidget(parent)
{
    // Moves raise MouseMove without a button held, as the surface did.
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);

    setMax(100);
    m_barColor = 8388608;
    m_backColor = 16777215;
    m_unit = u"%"_s;
    m_valueShow = true;
    m_style = 0;
    setValue(0);
}

fpProgressBar::~fpProgressBar() = default;

void fpProgressBar::setBarColor(qint32 lngNewBarColor)
{
    m_barColor = lngNewBarColor;
    RefreshBar();
}

void fpProgressBar::setBackColor(qint32 lngNewBackColor)
{
    m_backColor = lngNewBackColor;
    RefreshBar();
}

void fpProgressBar::setMax(qint32 lngNewMax)
{
    m_max = lngNewMax;
    RefreshBar();
}

void fpProgressBar::setStyle(qint32 enmNewStyle)
{
    m_style = enmNewStyle;
    RefreshBar();
}

void fpProgressBar::setUnit(const QString &strNewUnit)
{
    m_unit = strNewUnit;
    RefreshBar();
}

void fpProgressBar::setValueShow(bool bolNewValue)
{
    m_valueShow = bolNewValue;
    RefreshBar();
}

void fpProgressBar::setValue(qint32 lngNewValue)
{
    // A maximum of 0 or less has no room for a bar: the value rests at 0.
    m_value = std::clamp(lngNewValue, 0, std::max(m_max, 0));
    drawBar();
    update();
}

void fpProgressBar::RefreshBar()
{
    setValue(m_value);
}

QString fpProgressBar::barText() const
{
    if (!m_valueShow)
        return m_unit;
    return GroupedNumber(m_value, QLocale().groupSeparator()) + m_unit;
}

void fpProgressBar::drawBar()
{
    const QSize logical = size();
    if (logical.isEmpty()) {
        m_image = QImage();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    m_image = QImage(logical * ratio, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);

    const int w = logical.width();
    const int h = logical.height();
    QPainter painter(&m_image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(0, 0, w, h), Qt::white);

    // Not-xor: the text keeps BarColor on white, and the bar laid over it turns it white.
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    const QString text = barText();
    if (!text.isEmpty()) {
        QFont textFont = font();
        // Blended glyph edges would not survive the raster operation.
        textFont.setStyleStrategy(QFont::NoAntialias);
        const QFontMetricsF metrics(textFont);
        const qreal tw = metrics.horizontalAdvance(text);
        const qreal th = metrics.height();
        painter.setFont(textFont);
        painter.setPen(fromPackedRgb(m_barColor));
        painter.drawText(QPointF(w / 2.0 - tw / 2.0, (h - th) / 2.0 + metrics.ascent()), text);
    }

    const QColor bar = fromPackedRgb(m_barColor);
    const QColor back = fromPackedRgb(m_backColor);
    const qint32 scale = m_max > 0 ? m_max : 1;
    switch (m_style) {
    case 0: {
        const int barWidth = qRound(double(m_value) * w / scale);
        painter.fillRect(QRect(0, 0, barWidth, m_value == 0 ? 0 : h), bar);
        painter.fillRect(QRect(barWidth, 0, w - barWidth, h), back);
        break;
    }
    case 1: {
        const int barHeight = qRound(double(m_value) * h / scale);
        painter.fillRect(QRect(0, h - barHeight, w, barHeight), bar);
        painter.fillRect(QRect(0, 0, w, h - barHeight), back);
        break;
    }
    default:
        break;
    }
}

QSize fpProgressBar::sizeHint() const
{
    return {200, qRound(QFontMetricsF(font()).height()) + 10};
}

fpProgressBar::StoredProperties fpProgressBar::saveProperties() const
{
    return {
        {u"BarColor"_s, m_barColor}, {u"BackColor"_s, m_backColor}, {u"Font"_s, QVariant(font())},
        {u"Max"_s, m_max},           {u"Style"_s, m_style},         {u"Unit"_s, m_unit},
        {u"Value"_s, m_value},       {u"ValueShow"_s, m_valueShow},
    };
}

void fpProgressBar::loadProperties(const StoredProperties &stored, const QFont &ambientFont)
{
    setBarColor(storedValue(stored, u"BarColor"_s).toInt());
    setBackColor(storedValue(stored, u"BackColor"_s).toInt());
    const QVariant storedFont = storedValue(stored, u"Font"_s);
    setFont(storedFont.canConvert<QFont>() ? storedFont.value<QFont>() : ambientFont);
    setMax(storedValue(stored, u"Max"_s).toInt());
    setStyle(storedValue(stored, u"Style"_s).toInt());
    setUnit(storedValue(stored, u"Unit"_s).toString());
    setValue(storedValue(stored, u"Value"_s).toInt());
    setValueShow(storedValue(stored, u"ValueShow"_s).toBool());
}

void fpProgressBar::paintEvent(QPaintEvent *)
{
    // Moved to a screen of another pixel density: the kept image would be blurred.
    if (!m_image.isNull() && !qFuzzyCompare(m_image.devicePixelRatio(), devicePixelRatioF()))
        drawBar();
    QPainter painter(this);
    if (m_image.isNull())
        painter.fillRect(rect(), Qt::white);
    else
        painter.drawImage(0, 0, m_image);
}

void fpProgressBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    setMax(m_max);
}

void fpProgressBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        RefreshBar();
}

void fpProgressBar::mousePressEvent(QMouseEvent *)
{
    m_pressed = true;
    emit MouseDown();
}

void fpProgressBar::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    emit MouseUp();
    if (click)
        emit Click();
}

void fpProgressBar::mouseDoubleClickEvent(QMouseEvent *)
{
    // The release that ends a double click is not another click.
    m_pressed = false;
    emit DblClick();
}

void fpProgressBar::mouseMoveEvent(QMouseEvent *)
{
    emit MouseMove();
}

void fpProgressBar::keyPressEvent(QKeyEvent *event)
{
    emit KeyDown();
    if (!event->text().isEmpty())
        emit KeyPress();
    // Esc, Enter and shortcuts still reach the window.
    event->ignore();
}

void fpProgressBar::keyReleaseEvent(QKeyEvent *event)
{
    emit KeyUp();
    event->ignore();
}
