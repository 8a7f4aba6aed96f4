#pragma once

#include <QString>

namespace runtime {

// Style values of a message box: an OK button alone, or with an icon.
enum MessageStyle {
    PlainMessage = 0,
    CriticalMessage = 16,
    InformationMessage = 64,
};

// A modal message box with one OK button; waits until the user closes it. Without a title the box
// bears the application's name.
void showMessage(const QString &prompt, int style = PlainMessage, const QString &title = QString());

} // namespace runtime
