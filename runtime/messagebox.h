#pragma once

#include <QString>

class QWidget;

namespace runtime {

// Style values of a message box: an OK button alone, or with an icon.
enum MessageStyle {
    PlainMessage = 0,
    CriticalMessage = 16,
    InformationMessage = 64,
};

// A modal message box with one OK button, centred on the owner window; waits until the user
// closes it. Without a title the box bears the application's name.
void showMessage(QWidget &owner, const QString &prompt, MessageStyle style = PlainMessage,
                 const QString &title = QString());

} // namespace runtime
