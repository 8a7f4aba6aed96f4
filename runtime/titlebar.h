#pragma once

#include <QRect>
#include <Qt>

class QWidget;

namespace runtime {

// Whether the program draws title bars of its own: on Wayland, where the compositor may leave the
// frame to the program (GNOME's does) and Qt's own title bars then take their buttons from the
// desktop's settings alone, offering minimise and maximise on windows of a fixed size as well.
bool drawsOwnTitleBars();

// Gives a window, not yet shown, a title bar of the program's own where drawsOwnTitleBars(): its
// title, in full, and a close button, which closes it as the desktop's would; on a window that
// can be resized minimise and maximise too, and edges to resize it from. Dragging the bar moves
// the window; the window grows by the bar (and edges), its contents move down.
// The title stays the window's title, which is what screen readers and the desktop read.
// Elsewhere the window keeps the frame the desktop gives it.
void useOwnTitleBar(QWidget *window);

// Where a title bar barWidth wide draws a title textWidth wide, the bar's end (right, or left
// right to left) taken by buttonsWidth of buttons and its other end by a margin: centred on the bar
// where it clears both, else centred in the room between them, and never wider than that room.
QRect titleArea(int barWidth, int barHeight, int buttonsWidth, int textWidth, int margin,
                Qt::LayoutDirection direction);

} // namespace runtime
