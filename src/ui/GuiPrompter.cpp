#include "ui/GuiPrompter.h"

#include "ui/ProductLook.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

QString boxTitle(const QString &title)
{
    return title.isEmpty() ? ProductName() : title;
}

// The window the person is looking at, so the box comes up in front of it.
QWidget *boxOwner()
{
    QWidget *owner = QApplication::activeModalWidget();
    return owner ? owner : QApplication::activeWindow();
}

// The program speaks Japanese whatever the desktop's language, and Qt's own button texts
// would follow the desktop (or stay English when no translation is installed).
const QString kYesText = u"はい(&Y)"_s;
const QString kNoText = u"いいえ(&N)"_s;
const QString kOkText = u"OK"_s;
const QString kCancelText = u"キャンセル"_s;

int showBox(const QString &text, MessageIcon icon, const QString &title,
            QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(boxIcon(icon), boxTitle(title), text, buttons, boxOwner());
    for (const auto &[button, caption] :
         {std::pair{QMessageBox::Yes, kYesText}, std::pair{QMessageBox::No, kNoText},
          std::pair{QMessageBox::Ok, kOkText}}) {
        if (QAbstractButton *shown = box.button(button))
            shown->setText(caption);
    }
    box.setDefaultButton(defaultButton);
    return box.exec();
}

} // namespace

GuiPrompter::GuiPrompter(QObject *parent)
    : QObject(parent)
{}

template<typename Ask>
auto GuiPrompter::onWindowThread(Ask ask) -> decltype(ask())
{
    if (QThread::currentThread() == thread())
        return ask();
    // The run waits for the answer, as it would have on a single thread.
    std::optional<decltype(ask())> answer;
    QMetaObject::invokeMethod(
        this, [&answer, &ask] { answer.emplace(ask()); }, Qt::BlockingQueuedConnection);
    return answer.value_or(decltype(ask())());
}

bool GuiPrompter::askYesNo(const QString &text, MessageIcon icon, const QString &title)
{
    return onWindowThread([&] {
        return showBox(text, icon, title, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
               QMessageBox::Yes;
    });
}

void GuiPrompter::tell(const QString &text, MessageIcon icon, const QString &title)
{
    onWindowThread([&] { return showBox(text, icon, title, QMessageBox::Ok, QMessageBox::Ok); });
}

QString GuiPrompter::askText(const QString &prompt, const QString &title, const QString &suggested)
{
    return onWindowThread([&] {
        QInputDialog dialog(boxOwner());
        dialog.setWindowTitle(boxTitle(title));
        dialog.setLabelText(prompt);
        dialog.setTextValue(suggested);
        dialog.setOkButtonText(kOkText);
        dialog.setCancelButtonText(kCancelText);
        return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
    });
}
