#pragma once

#include "engine/FetchProgress.h"

#include <QWidget>

#include <condition_variable>
#include <memory>
#include <mutex>

class Prompter;
class fpProgressBar;

namespace Ui {
class frmFetch;
}

// The small window that shows a run's progress and offers the one way to stop it. The run
// works on another thread: every FetchProgress call may come from there and is carried over
// to the window's thread without waiting for it, except that while the cancel question is
// open the run waits for the answer before its next request, question or article, as it would
// on a single thread. Closing the window asks the same question.
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
    // False once the person has confirmed cancelling. Waits while the cancel question is open.
    bool letEventsThrough() override;
    bool mayGoOn() override;
    // Waits while the cancel question is open. A false answer means the run is writing: from
    // then on Cancel is disabled, so a run writes and saves all or nothing.
    bool cancelled() const override;

    // Ends the run as a confirmed cancel does, from any thread and also while the question is
    // open (the program is ending for another reason); no signal is emitted.
    void stop();

    fpProgressBar *progressBar() const;

signals:
    // The person answered Yes to the cancel question: end without saving anything.
    void cancelConfirmed();
    // The cancel question opens (true) or closes (false): a transport that asks ahead holds
    // meanwhile.
    void cancelQuestionOpen(bool open);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void askCancel();
    // On the run's thread: until the question is answered. True when the run is to stop.
    bool waitForAnswer() const;

    std::unique_ptr<Ui::frmFetch> m_ui;
    Prompter &m_prompter;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_answered;
    bool m_stopped = false;         // guarded by m_mutex
    bool m_asking = false;          // guarded by m_mutex
    mutable bool m_writing = false; // guarded by m_mutex
};
