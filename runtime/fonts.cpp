#include "fonts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QFont>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <cmath>

namespace runtime {

namespace {

const char *const classicFamily = "MS Sans Serif";

// A caption as drawn: "&" marks an access key and is not shown (no caption shows an "&").
QString captionOf(const QWidget *control)
{
    QString caption;
    if (const auto *label = qobject_cast<const QLabel *>(control))
        caption = label->text();
    else if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        caption = button->text();
    return caption.remove(u'&');
}

int captionWidth(const QFont &font, const QString &caption)
{
    return int(std::ceil(QFontMetricsF(font).horizontalAdvance(caption)));
}

// The font the window definition gives a control of its own: none, so that it follows the
// window's font, or the one it sets. Remembered before the first fitting changes it.
QFont definedFont(QWidget *control)
{
    const char *const property = "definedFont";
    QVariant defined = control->property(property);
    if (!defined.isValid()) {
        defined = control->testAttribute(Qt::WA_SetFont) ? control->font() : QFont();
        control->setProperty(property, defined);
    }
    return defined.value<QFont>();
}

void applyStoredFontSizes(QWidget *window)
{
    const auto controls = window->findChildren<QWidget *>();
    for (QWidget *control : controls) {
        const QVariant size = control->property("fontPointSize");
        if (!size.isValid())
            continue;
        QFont font = control->font();
        font.setPointSizeF(size.toDouble());
        control->setFont(font);
    }
}

// Fits a window's captions again whenever its font changes, the first time included.
class CaptionFitter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FontChange && watched == parent())
            fitCaptionsToControls(static_cast<QWidget *>(watched));
        return false;
    }
};

} // namespace

void useClassicWindowFont(QWidget *window)
{
    QFont::insertSubstitutions(QString::fromLatin1(classicFamily),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    applyStoredFontSizes(window);
    window->installEventFilter(new CaptionFitter(window));
    QFont font(QString::fromLatin1(classicFamily));
    font.setPointSizeF(8);
    font.setStyleHint(QFont::SansSerif);
    window->setFont(font);
}

int captionRoom(const QWidget *control)
{
    QStyleOptionButton option;
    option.initFrom(control);
    option.rect = control->rect();
    if (qobject_cast<const QRadioButton *>(control))
        return control->style()
            ->subElementRect(QStyle::SE_RadioButtonContents, &option, control)
            .width();
    if (qobject_cast<const QPushButton *>(control))
        return control->style()
            ->subElementRect(QStyle::SE_PushButtonContents, &option, control)
            .width();
    return control->contentsRect().width();
}

void fitCaptionsToControls(QWidget *window)
{
    constexpr int narrowestStretch = 80; // below this a condensed caption gets hard to read
    const auto controls = window->findChildren<QWidget *>();
    for (QWidget *control : controls) {
        const QString caption = captionOf(control);
        if (caption.isEmpty())
            continue;
        QFont fitted = definedFont(control);
        QFont measured = fitted.resolve(control->parentWidget()->font());
        const int room = captionRoom(control);
        if (captionWidth(measured, caption) > room) {
            int stretch = 100;
            while (stretch > narrowestStretch && captionWidth(measured, caption) > room)
                measured.setStretch(--stretch);
            fitted.setStretch(stretch);
        }
        control->setFont(fitted);
    }
}

} // namespace runtime
