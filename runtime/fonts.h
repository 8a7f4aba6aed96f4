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
