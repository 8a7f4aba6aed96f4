#include "brightfold.h"

int main(int argc, char *argv[])
{
    return runtime::runApplication(argc, argv, brightfoldApplication());
}
