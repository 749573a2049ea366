#pragma once

#include <QDialog>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRegion>

#include <functional>
#include <memory>

class QLabel;

namespace Ui {
class SplashForm;
}

// The about window: borderless with rounded corners, a tiled background, the product name,
// version, credit, two links and an "OK" label that works as a button. Dragged by its
// background. Create a fresh one for every showing.
class SplashForm final : public QDialog
{
    Q_OBJECT

public:
    using AddressOpener = std::function<void(const QString &address)>;

    // openAddress opens the link labels' addresses (the app passes OpenAddress).
    explicit SplashForm(AddressOpener openAddress, QWidget *parent = nullptr);
    ~SplashForm() override;

    // A w x h rectangle whose corners are cut away by a 200 x 200 ellipse.
    static QRegion roundedRegion(const QSize &size);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applyLook();
    void renderBackground();
    void labelClicked(QObject *label);
    void showJoke();
    void openAndClose(const QString &address);

    std::unique_ptr<Ui::SplashForm> m_ui;
    AddressOpener m_openAddress;
    QPixmap m_background;
    QPointer<QObject> m_pressedLabel;
    bool m_dragging = false;
    QPoint m_dragOffset;
};
