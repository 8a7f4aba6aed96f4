#pragma once

class QWidget;

namespace runtime {

// The window definitions are laid out in twips for the classic window font, "MS Sans Serif" at 8
// points. Gives the window that font (or a metric-near substitute) whatever font the desktop sets
// for applications, applies the fractional point sizes that a definition stores in the property
// "fontPointSize", and fits the captions, again whenever the window's font changes.
void useClassicWindowFont(QWidget *window);

// Where a font draws a caption wider than its control, condenses that control's font just enough
// for the caption to fit, down to a narrowest stretch that stays readable.
void fitCaptionsToControls(QWidget *window);

// The width a control offers its caption, as its style lays it out.
int captionRoom(const QWidget *control);

} // namespace runtime
