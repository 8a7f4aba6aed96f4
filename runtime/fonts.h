#pragma once

class QWidget;

namespace runtime {

// Makes the classic window font, "MS Sans Serif" at 8 points, the application font, with
// metric-near substitutes where that family is missing.
void installWindowFont();

// Applies what a window definition stores beyond Qt Designer's reach: the property
// "fontPointSize" gives a control's font a fractional point size.
void applyStoredFontSizes(QWidget *window);

// The window definitions were laid out for the classic font. Where a substitute draws a caption
// wider than its control, that control's font is condensed just enough for the caption to fit.
void fitCaptionsToControls(QWidget *window);

// The width a control offers its caption, as its style lays it out.
int captionRoom(const QWidget *control);

} // namespace runtime
