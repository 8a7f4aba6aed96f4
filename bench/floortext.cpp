// For reference beside the floor: one empty window holding one empty line edit, the least a
// window that shows text makes Qt do (read the font configuration, list the fonts, load one).

#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    QLineEdit edit(&window);
    window.show();
    return QApplication::exec();
}
