#include "fonts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <cmath>
#include <system_error>

#if __has_include(<dlfcn.h>)
#include <dlfcn.h>
#endif

namespace runtime {

namespace {

const char *const classicFamily = "MS Sans Serif";

// A caption as drawn: "&" marks an access key and is not shown, "&&" shows one "&".
QString visibleCaption(const QString &caption)
{
    QString shown;
    shown.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

QString captionOf(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return visibleCaption(label->text());
    if (const auto *button = qobject_cast<const QAbstractButton *>(control))
        return visibleCaption(button->text());
    return QString();
}

int captionWidth(const QFont &font, const QString &caption)
{
    return int(std::ceil(QFontMetricsF(font).horizontalAdvance(caption)));
}

} // namespace

FontConfigurationReader::FontConfigurationReader()
{
#if __has_include(<dlfcn.h>)
    // Qt's GUI module has loaded the font configuration library where it uses one; its
    // initialisation is safe to run beside other threads, and Qt's own call then finds it done.
    using Initialise = int (*)();
    const auto initialise = reinterpret_cast<Initialise>(dlsym(RTLD_DEFAULT, "FcInit"));
    if (!initialise)
        return;
    try {
        m_reading = std::thread(initialise);
    } catch (const std::system_error &) {
        // No thread to be had: Qt reads the configuration itself, as it would anyway.
    }
#endif
}

void FontConfigurationReader::finish()
{
    if (m_reading.joinable())
        m_reading.join();
}

void installWindowFont()
{
    QFont::insertSubstitutions(QString::fromLatin1(classicFamily),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Tahoma"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont font(QString::fromLatin1(classicFamily));
    font.setPointSizeF(8);
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
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
        const int room = captionRoom(control);
        if (caption.isEmpty() || room <= 0 || captionWidth(control->font(), caption) <= room)
            continue;
        QFont font = control->font();
        int stretch = 100 * room / captionWidth(font, caption);
        for (; stretch >= narrowestStretch; --stretch) {
            font.setStretch(stretch);
            if (captionWidth(font, caption) <= room)
                break;
        }
        control->setFont(font);
    }
}

} // namespace runtime
