#pragma once

#include "engine/FetchProgress.h"

#include <QWidget>

#include <atomic>
#include <memory>

class Prompter;
class fpProgressBar;

namespace Ui {
class frmFetch;
}

// The small window that shows a run's progress and offers the one way to stop it. The run
// works on another thread: every FetchProgress call may come from there and is carried over
// to the window's thread without waiting for it.
class frmFetch final : public QWidget, public FetchProgress
{
    Q_OBJECT

public:
    // prompter asks the cancel question; it must outlive the window.
    explicit frmFetch(Prompter &prompter, QWidget *parent = nullptr);
    ~frmFetch() override;

    void setInfo(const QString &text) override;
    void setCaption(const QString &text) override;
    void setMax(qint32 max) override;
    void setValue(qint32 value) override;
    void setUnit(const QString &unit) override;
    // False once the person has confirmed cancelling or closed the window.
    bool letEventsThrough() override;
    bool cancelled() const override { return m_stopped.load(); }

    fpProgressBar *progressBar() const;

signals:
    // The person answered Yes to the cancel question: end without saving anything.
    void cancelConfirmed();
    // The window was closed from its close box or system menu: end without a question.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void askCancel();

    std::unique_ptr<Ui::frmFetch> m_ui;
    Prompter &m_prompter;
    std::atomic_bool m_stopped = false;
    bool m_asking = false;
};
