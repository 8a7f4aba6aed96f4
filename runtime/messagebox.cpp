#include "messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPointer>
#include <QStyle>
#include <QTimer>

namespace runtime {

static QMessageBox::Icon iconFor(MessageStyle style)
{
    switch (style) {
    case CriticalMessage:
        return QMessageBox::Critical;
    case InformationMessage:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

void showMessage(QWidget &owner, const QString &prompt, MessageStyle style, const QString &title)
{
    // An owner that goes while the box is open takes the box along, so the box is not ours to
    // delete then.
    const QPointer<QMessageBox> box =
        new QMessageBox(iconFor(style), title.isEmpty() ? QApplication::applicationName() : title,
                        prompt, QMessageBox::Ok, &owner);
    box->button(QMessageBox::Ok)->setIcon(QIcon()); // a plain OK, whatever the desktop theme
    // Screen readers may leave a box's text out when they read the box: Orca 48 skips labels of
    // fewer than three words but reads the box's description; Orca 51 skips the box's description
    // when the box opens before the focus is back in the owner, and then every label that is
    // selectable, as this one is. The focused OK button, read in every case, carries the text too.
    box->setAccessibleDescription(prompt);
    box->button(QMessageBox::Ok)->setAccessibleDescription(prompt);
    // Qt centres a box before its first show, when the window manager has not framed it yet, and
    // the frame then pushes it off centre by its title bar: centred again once shown. The timer
    // goes with the box, and so with the owner.
    QTimer::singleShot(0, box, [box = box.data(), &owner] {
        const QRect centred =
            QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, box->size(), owner.geometry());
        box->move(centred.topLeft() - (box->geometry().topLeft() - box->pos()));
    });
    box->exec();
    delete box;
}

} // namespace runtime
