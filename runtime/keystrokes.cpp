#include "keystrokes.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHash>
#include <QKeyEvent>
#include <QWidget>

namespace runtime {

namespace {

int namedKey(const QString &name)
{
    static const QHash<QString, int> keys = {
        {"home", Qt::Key_Home},     {"end", Qt::Key_End},       {"left", Qt::Key_Left},
        {"right", Qt::Key_Right},   {"up", Qt::Key_Up},         {"down", Qt::Key_Down},
        {"enter", Qt::Key_Return},  {"tab", Qt::Key_Tab},       {"esc", Qt::Key_Escape},
        {"escape", Qt::Key_Escape}, {"bs", Qt::Key_Backspace},  {"backspace", Qt::Key_Backspace},
        {"del", Qt::Key_Delete},    {"delete", Qt::Key_Delete}, {"+", Qt::Key_Plus},
        {"^", Qt::Key_AsciiCircum}, {"%", Qt::Key_Percent},     {"{", Qt::Key_BraceLeft},
        {"}", Qt::Key_BraceRight},  {"~", Qt::Key_AsciiTilde},
    };
    return keys.value(name.toLower(), 0);
}

Qt::KeyboardModifier modifierFor(QChar c)
{
    switch (c.unicode()) {
    case u'+':
        return Qt::ShiftModifier;
    case u'^':
        return Qt::ControlModifier;
    case u'%':
        return Qt::AltModifier;
    default:
        return Qt::NoModifier;
    }
}

Keystroke characterKey(QChar c, Qt::KeyboardModifiers modifiers)
{
    if (c == u'~')
        return {Qt::Key_Return, modifiers, QStringLiteral("\r")};
    const QChar upper = c.toUpper();
    const int key = upper.unicode() < 0x80 ? int(upper.unicode()) : int(Qt::Key_unknown);
    return {key, modifiers, QString(c)};
}

// The widget that keystrokes go to: the focused control, or the focus control of the window that
// will be active again once a message box has closed.
QWidget *keystrokeTarget()
{
    if (QWidget *focused = QApplication::focusWidget())
        return focused;
    if (QWidget *active = QApplication::activeWindow())
        return active->focusWidget();
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && window->focusWidget())
            return window->focusWidget();
    }
    return nullptr;
}

} // namespace

QList<Keystroke> parseKeystrokes(const QString &notation)
{
    QList<Keystroke> strokes;
    Qt::KeyboardModifiers held;
    for (qsizetype i = 0; i < notation.size(); ++i) {
        const QChar c = notation[i];
        if (const Qt::KeyboardModifier modifier = modifierFor(c); modifier != Qt::NoModifier) {
            held |= modifier;
            continue;
        }
        if (c == u'{') {
            // "{}}" names the closing brace itself, so the name runs to the next '}' after it.
            const qsizetype close = notation.indexOf(u'}', i + 2);
            if (close < 0)
                break;
            const int key = namedKey(notation.mid(i + 1, close - i - 1));
            if (key != 0)
                strokes.append({key, held, QString()});
            i = close;
        } else {
            strokes.append(characterKey(c, held));
        }
        held = {};
    }
    return strokes;
}

void sendKeys(const QString &notation)
{
    QWidget *target = keystrokeTarget();
    if (!target)
        return;
    for (const Keystroke &stroke : parseKeystrokes(notation)) {
        QCoreApplication::postEvent(
            target, new QKeyEvent(QEvent::KeyPress, stroke.key, stroke.modifiers, stroke.text));
        QCoreApplication::postEvent(
            target, new QKeyEvent(QEvent::KeyRelease, stroke.key, stroke.modifiers, stroke.text));
    }
}

} // namespace runtime
