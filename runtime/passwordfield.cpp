#include "passwordfield.h"

#include <QApplication>
#include <QLineEdit>
#include <QProxyStyle>

namespace runtime {

namespace {

class PasswordCharacterStyle : public QProxyStyle
{
public:
    explicit PasswordCharacterStyle(QChar mask) : m_mask(mask) {}

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return m_mask.unicode();
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

private:
    QChar m_mask;
};

} // namespace

void setPasswordCharacter(QLineEdit *field, QChar mask)
{
    auto *style = new PasswordCharacterStyle(mask);
    style->setParent(field); // the widget does not take ownership of its style
    field->setStyle(style);
    field->setAttribute(Qt::WA_InputMethodEnabled, false);
}

} // namespace runtime
