#include "messageboxcatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

MessageBoxCatcher::MessageBoxCatcher(QList<CloseBy> closings) : m_closings(std::move(closings))
{
    // A box is closed as soon as its own event loop runs (see eventFilter); the polling only
    // finds one that was already open when the catcher was made.
    QCoreApplication::instance()->installEventFilter(this);
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxCatcher::closeVisibleBox);
    m_timer.start(5);
}

bool MessageBoxCatcher::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && qobject_cast<QMessageBox *>(watched))
        QMetaObject::invokeMethod(this, &MessageBoxCatcher::closeVisibleBox, Qt::QueuedConnection);
    return false;
}

void MessageBoxCatcher::closeVisibleBox()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible() || m_seen.contains(box))
        return;
    m_seen.removeIf([](const QPointer<QMessageBox> &seen) { return seen.isNull(); });
    m_seen.append(box);

    CaughtMessage caught{box->text(), box->windowTitle(), box->icon(), {}};
    const auto buttons = box->buttons();
    for (QAbstractButton *button : buttons)
        caught.buttons.append(button->text().remove(u'&'));
    messages.append(caught);

    const CloseBy closing = m_closings.value(messages.size() - 1, m_closings.last());
    switch (closing) {
    case ClickButton:
        QTest::mouseClick(buttons.value(0), Qt::LeftButton);
        break;
    case PressEnter:
        QTest::keyClick(box, Qt::Key_Return);
        break;
    case PressEscape:
        QTest::keyClick(box, Qt::Key_Escape);
        break;
    }
}

CaughtMessage okBox(const QString &text, const QString &title, QMessageBox::Icon icon)
{
    return {text, title, icon, {QStringLiteral("OK")}};
}

char *toString(const CaughtMessage &message)
{
    const QString shown = QStringLiteral("\"%1\" titled \"%2\", icon %3, buttons %4")
                              .arg(message.text, message.title)
                              .arg(int(message.icon))
                              .arg(message.buttons.join(u','));
    return qstrdup(shown.toUtf8().constData());
}
