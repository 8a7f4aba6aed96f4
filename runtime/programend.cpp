#include "programend.h"

#include <QCoreApplication>

namespace runtime {

void endProgram()
{
    // Not by closing the windows: that would run their close handling, and nothing of the program
    // may run any more.
    QCoreApplication::exit(0);
}

} // namespace runtime
