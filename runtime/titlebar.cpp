#include "titlebar.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace runtime {

bool drawsOwnTitleBars()
{
    // "wayland", or "wayland-egl" where the platform is named that way.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QRect titleArea(int barWidth, int barHeight, int buttonsWidth, int textWidth, int margin,
                Qt::LayoutDirection direction)
{
    const bool leftToRight = direction == Qt::LeftToRight;
    const int roomLeft = leftToRight ? margin : buttonsWidth;
    const int roomRight = barWidth - (leftToRight ? buttonsWidth : margin);
    const int room = std::max(0, roomRight - roomLeft);
    const int width = std::min(textWidth, room);
    // Centred on the whole bar while that keeps it in the room beside the buttons.
    int left = (barWidth - width) / 2;
    if (left < roomLeft || left + width > roomRight)
        left = roomLeft + (room - width) / 2;
    return {left, 0, width, barHeight};
}

namespace {

// The bar: the window's title painted, its buttons at the bar's end (a close button alone on a
// window of a fixed size; minimise, maximise and close on one that can be resized), the window
// moved by dragging it. The title is painted rather than shown by a label, so that screen readers
// find it once, as the window's name. A window that can be resized is resized from its edges.
class TitleBar : public QWidget
{
public:
    TitleBar(QWidget *window, bool sizable) : QWidget(window), sizable(sizable)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        // What the font does not set comes from the window's: measured and drawn alike as the
        // bar's.
        setFont(titleFont());
        if (sizable) {
            addButton(QStyle::SP_TitleBarMinButton, tr("Minimize"), [window] {
                window->setWindowState(window->windowState() | Qt::WindowMinimized);
            });
            maximizeButton = addButton(QStyle::SP_TitleBarMaxButton, tr("Maximize"),
                                       [this] { toggleMaximized(); });
            window->setMouseTracking(true); // for the resizing cursor along the edges
        }
        // As the desktop's close button does: the window gets a close event, which it may refuse.
        addButton(QStyle::SP_TitleBarCloseButton, tr("Close"), [window] {
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

    static int barHeight() { return QFontMetrics(titleFont()).height() + 16; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Resize:
            place();
            break;
        case QEvent::WindowStateChange:
            if (maximizeButton) {
                const bool maximized = window()->isMaximized();
                maximizeButton->setIcon(style()->standardIcon(
                    maximized ? QStyle::SP_TitleBarNormalButton : QStyle::SP_TitleBarMaxButton,
                    nullptr, this));
                maximizeButton->setAccessibleName(maximized ? tr("Restore") : tr("Maximize"));
                maximizeButton->setToolTip(maximizeButton->accessibleName());
            }
            break;
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
            if (sizable && watched == window())
                return resizeFromEdge(static_cast<QMouseEvent *>(event));
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
        painter.drawLine(0, height() - 1, width(), height() - 1);
        painter.setPen(
            palette().color(window()->isActiveWindow() ? QPalette::Active : QPalette::Disabled,
                            QPalette::WindowText));
        const QString title = window()->windowTitle();
        const int textWidth = fontMetrics().horizontalAdvance(title);
        const QRect area = titleArea(width(), height() - 1, buttonsWidth(), textWidth, titleMargin,
                                     layoutDirection());
        painter.drawText(area, Qt::AlignCenter,
                         area.width() < textWidth
                             ? fontMetrics().elidedText(title, Qt::ElideRight, area.width())
                             : title);
    }

    // Along the window's top edge the bar resizes the window; elsewhere it moves it.
    void mousePressEvent(QMouseEvent *event) override
    {
        QWindow *handle = window()->windowHandle();
        if (event->button() != Qt::LeftButton || !handle)
            return;
        const Qt::Edges edges = sizable ? edgesAt(event->position().toPoint()) : Qt::Edges();
        if (edges)
            handle->startSystemResize(edges);
        else
            handle->startSystemMove();
    }

    // A double click maximises a window that can be resized, and does nothing on one of a fixed
    // size.
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        if (sizable && event->button() == Qt::LeftButton)
            toggleMaximized();
        event->accept();
    }

private:
    template <typename Click>
    QPushButton *addButton(QStyle::StandardPixmap icon, const QString &name, Click click)
    {
        // Flat push buttons: the static Qt of the Windows build has no tool buttons.
        auto *button = new QPushButton(style()->standardIcon(icon, nullptr, this), QString(), this);
        button->setFlat(true);
        button->setAutoDefault(false);       // never a dialog's default, pressed by Return
        button->setFocusPolicy(Qt::NoFocus); // the window's tab order is its controls'
        button->setAccessibleName(name);
        button->setToolTip(name);
        connect(button, &QPushButton::clicked, this, click);
        buttons.append(button);
        return button;
    }

    void toggleMaximized()
    {
        window()->setWindowState(window()->windowState() ^ Qt::WindowMaximized);
    }

    // The edges of the window under the point, where it can be resized from.
    Qt::Edges edgesAt(QPoint point) const
    {
        if (window()->isMaximized())
            return {};
        Qt::Edges edges;
        const int reach = border + 2;
        if (point.x() < reach)
            edges |= Qt::LeftEdge;
        if (point.x() >= window()->width() - reach)
            edges |= Qt::RightEdge;
        if (point.y() < border)
            edges |= Qt::TopEdge;
        if (point.y() >= window()->height() - reach)
            edges |= Qt::BottomEdge;
        return edges;
    }

    bool resizeFromEdge(QMouseEvent *event)
    {
        const Qt::Edges edges = edgesAt(event->position().toPoint());
        if (event->type() == QEvent::MouseMove) {
            const bool left = edges & Qt::LeftEdge, right = edges & Qt::RightEdge;
            const bool top = edges & Qt::TopEdge, bottom = edges & Qt::BottomEdge;
            if (!edges)
                window()->unsetCursor();
            else if ((left && top) || (right && bottom))
                window()->setCursor(Qt::SizeFDiagCursor);
            else if ((right && top) || (left && bottom))
                window()->setCursor(Qt::SizeBDiagCursor);
            else
                window()->setCursor(left || right ? Qt::SizeHorCursor : Qt::SizeVerCursor);
            return false;
        }
        if (!edges || event->button() != Qt::LeftButton || !window()->windowHandle())
            return false;
        window()->windowHandle()->startSystemResize(edges);
        return true;
    }

    int buttonsWidth() const { return int(buttons.size()) * (barHeight() - gap) + gap; }

    void place()
    {
        setGeometry(0, 0, window()->width(), barHeight());
        const int side = barHeight() - 2 * gap;
        const bool leftToRight = layoutDirection() == Qt::LeftToRight;
        int x = leftToRight ? width() - gap - side : gap;
        for (auto it = buttons.crbegin(); it != buttons.crend(); ++it) { // close at the very end
            (*it)->setFixedSize(side, side);
            (*it)->move(x, gap);
            x += leftToRight ? -(side + gap) : side + gap;
        }
    }

public:
    // What a window that can be resized keeps free along its edges, to be resized from.
    static constexpr int border = 4;

private:
    static constexpr int gap = 4;
    // Between the title and the bar's end away from the buttons.
    static constexpr int titleMargin = 2 * gap;
    const bool sizable;
    QList<QPushButton *> buttons;
    QPushButton *maximizeButton = nullptr;
};

// A line around the window, which has no frame of the desktop's to set it off from what lies
// behind, a message box from its owner: drawn over the window's edge, letting the mouse through.
class Outline : public QWidget
{
public:
    explicit Outline(QWidget *window) : QWidget(window)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        window->installEventFilter(this);
        fit();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            fit();
        return QWidget::eventFilter(watched, event);
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

private:
    void fit()
    {
        setGeometry(window()->rect());
        raise();
    }
};

} // namespace

void useOwnTitleBar(QWidget *window)
{
    if (!drawsOwnTitleBars())
        return;
    // QMessageBox fixes its size only when shown, and says so by its flag.
    const bool sizable = window->minimumSize() != window->maximumSize() &&
                         !window->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
    // Below the bar; a window that can be resized keeps its edges free, to be resized from.
    const int edge = sizable ? TitleBar::border : 1;
    const QMargins added(edge, TitleBar::barHeight(), edge, edge);
    if (window->layout()) {
        // The layout keeps the window's contents inside the margins (QMessageBox sizes itself so).
        window->setContentsMargins(window->contentsMargins() + added);
    } else {
        // Controls placed where they stand: each moves by the bar and the edge.
        const auto children = window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *child : children)
            child->move(child->pos() + QPoint(added.left(), added.top()));
        const QSize grown = window->size().grownBy(added);
        if (sizable)
            window->resize(grown);
        else
            window->setFixedSize(grown);
    }
    window->setWindowFlag(Qt::FramelessWindowHint);
    new TitleBar(window, sizable);
    new Outline(window);
}

} // namespace runtime
