#pragma once

#include <QLabel>

namespace runtime {

// A label whose caption the procedures write. Every write goes through setCaption(), which
// reports it, so that the whole sequence of values a label took can be followed.
class Label : public QLabel
{
    Q_OBJECT

public:
    explicit Label(QWidget *parent = nullptr);

    QString caption() const { return text(); }
    void setCaption(const QString &caption);

signals:
    void captionWritten(const QString &caption);
};

} // namespace runtime
