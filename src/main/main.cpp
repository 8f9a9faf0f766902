#include "main/batch.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The batch converter needs no display: decide before any GUI object exists.
    if (vx::isBatchInvocation(argc, argv))
        return vx::runBatch(argc, argv);
    QApplication app(argc, argv);
    return 0;
}
