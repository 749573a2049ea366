#pragma once

#include <QObject>

#include <functional>

// F1 in any window of the program (the settings, fetch, debug and about windows, a message
// box) opens the help. Install it on the application.
class HelpKey final : public QObject
{
    Q_OBJECT

public:
    explicit HelpKey(std::function<void()> openHelp, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void()> m_openHelp;
};
