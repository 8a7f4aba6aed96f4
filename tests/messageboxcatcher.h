#pragma once

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QTimer>

// What a user saw in one message box.
struct CaughtMessage
{
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;

    bool operator==(const CaughtMessage &) const = default;
};

// A message box with the one OK button that every box of the program has.
CaughtMessage okBox(const QString &text, const QString &title, QMessageBox::Icon icon);

char *toString(const CaughtMessage &message); // for QCOMPARE

// Watches for modal message boxes while it lives, records each one and closes it as a user
// would: by clicking its button, or with Enter or Esc.
class MessageBoxCatcher : public QObject
{
    Q_OBJECT

public:
    enum CloseBy { ClickButton, PressEnter, PressEscape };

    explicit MessageBoxCatcher(QList<CloseBy> closings = {ClickButton});

    QList<CaughtMessage> messages;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closeVisibleBox();

    QList<CloseBy> m_closings;
    QList<QPointer<QMessageBox>> m_seen;
    QTimer m_timer;
};
