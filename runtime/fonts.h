#pragma once

#include <thread>

class QWidget;

namespace runtime {

// Reads the system's font configuration on a second thread while the application connects to the
// display: the first window to measure text would otherwise read it then, dozens of files and over
// a third of the start's work. Where fonts are not configured that way it does nothing. Create it
// before the application, finish it before the first window.
class FontConfigurationReader
{
public:
    FontConfigurationReader();
    ~FontConfigurationReader() { finish(); }
    FontConfigurationReader(const FontConfigurationReader &) = delete;
    FontConfigurationReader &operator=(const FontConfigurationReader &) = delete;

    void finish();

private:
    std::thread m_reading;
};

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
