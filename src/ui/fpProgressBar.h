#pragma once

#include <QFont>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>
#include <QWidget>

// The program's own progress bar: a filled bar (horizontal or vertical) with the value and a
// unit written across it; where the bar covers the text the text turns white. Everything is
// drawn into a persistent image on each property change, and paintEvent only shows it.
class fpProgressBar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qint32 BarColor READ BarColor WRITE setBarColor)
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(qint32 Max READ Max WRITE setMax)
    Q_PROPERTY(qint32 Style READ Style WRITE setStyle)
    Q_PROPERTY(QString Unit READ Unit WRITE setUnit)
    Q_PROPERTY(qint32 Value READ Value WRITE setValue)
    Q_PROPERTY(bool ValueShow READ ValueShow WRITE setValueShow)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)

public:
    // Stored properties, in the order they are saved and loaded.
    using StoredProperties = QList<QPair<QString, QVariant>>;

    explicit fpProgressBar(QWidget *parent = nullptr);
    ~fpProgressBar() override;

    // Colours are packed RGB: red in the lowest byte, blue in the third.
    qint32 BarColor() const { return m_barColor; }
    void setBarColor(qint32 lngNewBarColor);
    qint32 BackColor() const { return m_backColor; }
    void setBackColor(qint32 lngNewBackColor);
    QFont Font() const { return font(); }
    // QWidget::setFont; the redraw follows from the font change event.
    using QWidget::setFont;
    qint32 Max() const { return m_max; }
    void setMax(qint32 lngNewMax);
    // 0 horizontal from the left, 1 vertical from the bottom, anything else: text only.
    qint32 Style() const { return m_style; }
    void setStyle(qint32 enmNewStyle);
    QString Unit() const { return m_unit; }
    void setUnit(const QString &strNewUnit);
    qint32 Value() const { return m_value; }
    // Clamped to 0 ... Max.
    void setValue(qint32 lngNewValue);
    bool ValueShow() const { return m_valueShow; }
    void setValueShow(bool bolNewValue);
    bool Enabled() const { return isEnabled(); }

    void About() {}

    // The text drawn across the bar: the grouped value (when ValueShow) followed by Unit.
    QString barText() const;

    StoredProperties saveProperties() const;
    // Applies each stored property through its setter. Names match regardless of case; a
    // missing Font falls back to ambientFont, any other missing property to 0, "" or false.
    void loadProperties(const StoredProperties &stored, const QFont &ambientFont);

    QSize sizeHint() const override;

signals:
    void Click();
    void DblClick();
    void MouseDown();
    void MouseMove();
    void MouseUp();
    void KeyDown();
    void KeyPress();
    void KeyUp();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void RefreshBar();
    void drawBar();

    qint32 m_barColor = 8388608;
    qint32 m_backColor = 16777215;
    qint32 m_max = 100;
    qint32 m_style = 0;
    QString m_unit;
    qint32 m_value = 0;
    bool m_valueShow = true;
    bool m_pressed = false;
    QImage m_image;
};

// "###,###,###,###,###,##0": digits grouped by three with the given separator.
QString GroupedNumber(qint64 number, const QString &groupSeparator);
