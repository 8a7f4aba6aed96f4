// The floor the program's start is measured against: the least window that shows text, one
// window holding a label and a line edit. Showing any text makes Qt read the system's font
// configuration, list the fonts and load one, which an empty window never does.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Text:")));
    layout->addWidget(new QLineEdit);
    window.show();
    return QApplication::exec();
}
