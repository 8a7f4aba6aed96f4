#include "messagebox.h"
#include "titlebar.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QStyle>
#include <QTimer>

#include <algorithm>

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

// Whether Qt tells screen readers that the label is the widget's label.
static bool reportedAsLabelOf(const QLabel *label, QWidget *widget)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    if (!accessible)
        return false;
    const auto relations = accessible->relations(QAccessible::Label);
    return std::any_of(relations.cbegin(), relations.cend(),
                       [label](const auto &relation) { return relation.first->object() == label; });
}

// Screen readers skip parts of a message box, each its own: Orca 43 reads every label twice,
// Orca 48 skips labels of fewer than three words, and Orca 51 skips the box's description when
// the box opens before the focus is back in the owner, then every label that can be selected,
// as this one can. All of them read the OK button, which has the focus: it carries the text,
// once. The message label becomes the button's label, which keeps readers from reading it again
// on its own; where Qt does not report it as the button's label (it does from 6.11 on), the
// text is the button's description too. A label with a buddy shows a '&' in its text as a
// mnemonic: such a text keeps a label of its own.
static void tellWithButton(QMessageBox &box, const QString &prompt)
{
    QAbstractButton *ok = box.button(QMessageBox::Ok);
    const auto labels = box.findChildren<QLabel *>();
    const auto message =
        std::find_if(labels.cbegin(), labels.cend(),
                     [&prompt](const QLabel *label) { return label->text() == prompt; });
    if (message != labels.cend() && !prompt.contains(u'&')) {
        (*message)->setBuddy(ok);
        if (reportedAsLabelOf(*message, ok))
            return;
    }
    ok->setAccessibleDescription(prompt);
}

void showMessage(QWidget &owner, const QString &prompt, MessageStyle style, const QString &title)
{
    // An owner that goes while the box is open takes the box along, so the box is not ours to
    // delete then.
    const QPointer<QMessageBox> box =
        new QMessageBox(iconFor(style), title.isEmpty() ? QApplication::applicationName() : title,
                        prompt, QMessageBox::Ok, &owner);
    box->button(QMessageBox::Ok)->setIcon(QIcon()); // a plain OK, whatever the desktop theme
    tellWithButton(*box, prompt);
    useOwnTitleBar(box); // on Wayland: only a close button, and the title in full
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
