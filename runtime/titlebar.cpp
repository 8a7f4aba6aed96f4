#include "titlebar.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace runtime {

bool drawsOwnTitleBars()
{
    // "wayland", or "wayland-egl" where the platform is named that way.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QRect titleArea(int barWidth, int barHeight, int buttonsWidth, int textWidth,
                Qt::LayoutDirection direction)
{
    const int rest = std::max(0, barWidth - buttonsWidth);
    const int width = std::min(textWidth, rest);
    // Centred on the whole bar while that keeps it clear of the buttons.
    int left = (barWidth - width) / 2;
    if (direction == Qt::LeftToRight ? left + width > rest : left < buttonsWidth)
        left = (direction == Qt::LeftToRight ? 0 : buttonsWidth) + (rest - width) / 2;
    return {left, 0, width, barHeight};
}

namespace {

// The bar: the window's title painted, its close button at the bar's end, the window moved by
// dragging it. The title is painted rather than shown by a label, so that screen readers find it
// once, as the window's name.
class TitleBar : public QWidget
{
public:
    explicit TitleBar(QWidget *window) : QWidget(window), closeButton(new QToolButton(this))
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        closeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton, nullptr, this));
        closeButton->setAutoRaise(true);
        closeButton->setFocusPolicy(Qt::NoFocus); // the window's tab order is its controls'
        closeButton->setAccessibleName(tr("Close"));
        closeButton->setToolTip(tr("Close"));
        // As the desktop's close button does: the window gets a close event, which it may refuse.
        QObject::connect(closeButton, &QToolButton::clicked, this, [window] {
            if (QWindow *handle = window->windowHandle())
                handle->close();
        });
        window->installEventFilter(this);
        place();
    }

    static QFont titleFont()
    {
        QFont font = QApplication::font();
        font.setBold(true);
        return font;
    }

    static int height() { return QFontMetrics(titleFont()).height() + 16; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Resize:
            place();
            break;
        case QEvent::WindowTitleChange:
        case QEvent::ActivationChange:
            update();
            break;
        default:
            break;
        }
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QPalette::ColorGroup group =
            window()->isActiveWindow() ? QPalette::Active : QPalette::Inactive;
        painter.fillRect(rect(), palette().color(group, QPalette::Window).darker(108));
        painter.setPen(palette().color(group, QPalette::Mid));
        painter.drawLine(0, QWidget::height() - 1, width(), QWidget::height() - 1);
        painter.setFont(titleFont());
        painter.setPen(palette().color(window()->isActiveWindow() ? QPalette::Active
                                                                  : QPalette::Disabled,
                                       QPalette::WindowText));
        const QString title = window()->windowTitle();
        const QFontMetrics metrics(titleFont());
        const QRect area = titleArea(width(), QWidget::height() - 1, buttonsWidth(),
                                     metrics.horizontalAdvance(title), layoutDirection());
        painter.drawText(area, Qt::AlignCenter,
                         metrics.elidedText(title, Qt::ElideRight, area.width()));
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && window()->windowHandle())
            window()->windowHandle()->startSystemMove();
    }

    // A window of a fixed size has nothing to maximise: a double click does nothing.
    void mouseDoubleClickEvent(QMouseEvent *event) override { event->accept(); }

private:
    int buttonsWidth() const { return closeButton->width() + 2 * gap; }

    void place()
    {
        setGeometry(0, 0, window()->width(), height());
        const int side = height() - 2 * gap;
        closeButton->setFixedSize(side, side);
        closeButton->move(layoutDirection() == Qt::LeftToRight ? width() - gap - side : gap, gap);
        raise();
    }

    static constexpr int gap = 4;
    QToolButton *closeButton;
};

} // namespace

void useOwnTitleBar(QWidget *window)
{
    if (!drawsOwnTitleBars())
        return;
    const int bar = TitleBar::height();
    const bool fixed = window->minimumSize() == window->maximumSize();
    if (window->layout()) {
        // The layout keeps the window's contents below the margins (QMessageBox sizes itself so).
        QMargins margins = window->contentsMargins();
        margins.setTop(margins.top() + bar);
        window->setContentsMargins(margins);
    } else {
        // Controls placed where they stand: each moves down by the bar.
        const auto children = window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *child : children)
            child->move(child->x(), child->y() + bar);
        if (fixed)
            window->setFixedSize(window->width(), window->height() + bar);
        else
            window->resize(window->width(), window->height() + bar);
    }
    window->setWindowFlag(Qt::FramelessWindowHint);
    new TitleBar(window);
}

} // namespace runtime
