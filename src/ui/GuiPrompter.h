#pragma once

#include "util/Prompter.h"

#include <QObject>

class QWidget;

// Message boxes and the input box. Safe to call from a run's thread: the question is shown on
// the window thread and the caller waits for the answer.
class GuiPrompter final : public QObject, public Prompter
{
    Q_OBJECT

public:
    // Lives on the thread that owns the windows.
    explicit GuiPrompter(QObject *parent = nullptr);

    bool askYesNo(const QString &text, MessageIcon icon, const QString &title = {}) override;
    void tell(const QString &text, MessageIcon icon, const QString &title = {}) override;
    QString askText(const QString &prompt, const QString &title, const QString &suggested) override;

private:
    template<typename Ask>
    auto onWindowThread(Ask ask) -> decltype(ask());
};
