#include "label.h"

namespace runtime {

Label::Label(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void Label::setCaption(const QString &caption)
{
    setText(caption);
    emit captionWritten(caption);
}

} // namespace runtime
