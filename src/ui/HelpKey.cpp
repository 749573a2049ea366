#include "ui/HelpKey.h"

#include <QKeyEvent>

HelpKey::HelpKey(std::function<void()> openHelp, QObject *parent)
    : QObject(parent)
    , m_openHelp(std::move(openHelp))
{}

bool HelpKey::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            // Held down, the key opens the help once.
            if (!key->isAutoRepeat() && m_openHelp)
                m_openHelp();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
