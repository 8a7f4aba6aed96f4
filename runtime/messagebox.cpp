#include "messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QMessageBox>

namespace runtime {

static QMessageBox::Icon iconForStyle(int style)
{
    switch (style & 0x70) {
    case CriticalMessage:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case InformationMessage:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

void showMessage(const QString &prompt, int style, const QString &title)
{
    QMessageBox box(iconForStyle(style), title.isEmpty() ? QApplication::applicationName() : title,
                    prompt, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.button(QMessageBox::Ok)->setIcon(QIcon()); // a plain OK, whatever the desktop theme
    box.exec();
}

} // namespace runtime
