#include "messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

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

void showMessage(QWidget *owner, const QString &prompt, MessageStyle style, const QString &title)
{
    QMessageBox box(iconFor(style), title.isEmpty() ? QApplication::applicationName() : title,
                    prompt, QMessageBox::Ok, owner);
    box.button(QMessageBox::Ok)->setIcon(QIcon()); // a plain OK, whatever the desktop theme
    box.exec();
}

} // namespace runtime
