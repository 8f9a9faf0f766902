#include "main/batch.h"
#include "main/startup.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    // The batch converter needs no display: decide before any GUI object exists.
    if (vx::isBatchInvocation(argc, argv))
        return vx::runBatch(argc, argv);
    vx::setApplicationIdentity();
    // The map's web view shares the windows' OpenGL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/images/volantix.png")));
    return vx::runApplication(app, app.arguments(), QGuiApplication::queryKeyboardModifiers());
}
