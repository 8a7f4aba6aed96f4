#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>

#if defined(BRIGHTFOLD_ATSPI) && QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#endif

namespace runtime {

namespace {

void adjustForScreenReaders(QAccessibleEvent *event);

// Qt's own way to the platform's accessibility, which it takes while no handler is installed.
void forward(QAccessibleEvent *event)
{
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&adjustForScreenReaders);
}

const QLineEdit *passwordBox(QObject *object)
{
    const auto *box = qobject_cast<const QLineEdit *>(object);
    return box && box->echoMode() != QLineEdit::Normal ? box : nullptr;
}

// Qt reports the characters typed into a password box, or taken out of it, as they are; what goes
// out instead is one mask character for each, as the box shows them, in one text update that
// says what was taken out and what was put in.
void forwardMasked(QAccessibleEvent *event, const QLineEdit *box)
{
    int position = 0;
    QString removed, inserted;
    if (event->type() == QAccessible::TextInserted) {
        const auto *typed = static_cast<QAccessibleTextInsertEvent *>(event);
        position = typed->changePosition();
        inserted = typed->textInserted();
    } else if (event->type() == QAccessible::TextRemoved) {
        const auto *typed = static_cast<QAccessibleTextRemoveEvent *>(event);
        position = typed->changePosition();
        removed = typed->textRemoved();
    } else {
        const auto *typed = static_cast<QAccessibleTextUpdateEvent *>(event);
        position = typed->changePosition();
        removed = typed->textRemoved();
        inserted = typed->textInserted();
    }
    const QChar mask(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box));
    QAccessibleTextUpdateEvent masked(event->object(), position, QString(removed.size(), mask),
                                      QString(inserted.size(), mask));
    forward(&masked);
}

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
// Qt 6.4 sends a description change over AT-SPI with a reference to the object in place of the
// new text, and screen readers fail on it; Qt 6.8 sends the text. Sends it as AT-SPI defines it
// instead, on Qt's own connection to the accessibility bus, before Qt 6.8 (the versions between
// were not looked at); false where there is none.
bool sendDescriptionChange(QAccessibleInterface *changed)
{
#ifdef BRIGHTFOLD_ATSPI
    QDBusConnection bus(QStringLiteral("a11y"));
    if (!bus.isConnected())
        return false;
    const QString objects = QStringLiteral("/org/a11y/atspi/accessible/");
    QDBusMessage change = QDBusMessage::createSignal(
        objects + QString::number(QAccessible::uniqueId(changed)),
        QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("PropertyChange"));
    QDBusArgument application;
    application.beginStructure();
    application << bus.baseService() << QDBusObjectPath(objects + QStringLiteral("root"));
    application.endStructure();
    change << QStringLiteral("accessible-description") << 0 << 0
           << QVariant::fromValue(QDBusVariant(changed->text(QAccessible::Description)))
           << QVariant::fromValue(application);
    return bus.send(change);
#else
    Q_UNUSED(changed);
    return false;
#endif
}
#endif

// Every accessibility event of the program passes here on its way to the platform.
void adjustForScreenReaders(QAccessibleEvent *event)
{
    static QPointer<QObject> focused; // the object of the latest focus event
    QObject *object = event->object();
    switch (event->type()) {
    case QAccessible::Focus:
        focused = object;
        break;
    case QAccessible::TextCaretMoved:
    case QAccessible::TextSelectionChanged:
        // A text box reports its caret while the focus arrives, before the focus itself: a screen
        // reader takes that for the arrival and has nothing left to say when the focus follows.
        if (object && object != focused)
            return;
        break;
    case QAccessible::TextInserted:
    case QAccessible::TextRemoved:
    case QAccessible::TextUpdated:
        if (const QLineEdit *box = passwordBox(object)) {
            forwardMasked(event, box);
            return;
        }
        break;
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    case QAccessible::DescriptionChanged:
        // No interface for an object that is going away; Qt's own way passes over that.
        if (QAccessibleInterface *changed = event->accessibleInterface();
            changed && sendDescriptionChange(changed))
            return;
        break;
#endif
    default:
        break;
    }
    forward(event);
}

// Qt presents a window that is a plain widget as a filler, which screen readers neither announce
// as a window nor read the title of. Answers for a class derived straight from QWidget only:
// while a widget is being made or destroyed it is a plain QWidget, and Qt's own factory, which
// knows when a widget is going away, answers for it then.
QAccessibleInterface *windowOfItsOwn(const QString &, QObject *object)
{
    if (object->metaObject()->superClass() != &QWidget::staticMetaObject)
        return nullptr;
    auto *window = static_cast<QWidget *>(object);
    if (window->windowType() != Qt::Window)
        return nullptr;
    return new QAccessibleWidget(window, QAccessible::Window);
}

} // namespace

void improveAccessibility()
{
    QAccessible::installFactory(&windowOfItsOwn);
    QAccessible::installUpdateHandler(&adjustForScreenReaders);
}

void announce(QObject *source, const QString &message)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#ifdef BRIGHTFOLD_ATSPI
    // A screen reader on AT-SPI speaks the new description of the object with the focus (Orca
    // does): the same text announced as well would be heard twice.
    if (const QWidget *focused = QApplication::focusWidget();
        focused && focused->accessibleDescription() == message)
        return;
#endif
    QAccessibleAnnouncementEvent announcement(source, message);
    QAccessible::updateAccessibility(&announcement);
#else
    Q_UNUSED(source);
    Q_UNUSED(message);
#endif
}

} // namespace runtime
