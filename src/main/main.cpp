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
    // Sharp on high-density screens: scaled windows and @2x pictures. Both
    // must be set before the application object exists.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // The map's web view shares the windows' OpenGL contexts.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setWindowIcon(QIcon(QStringLiteral(":/images/volantix.png")));
    return vx::runApplication(app, app.arguments(), QGuiApplication::queryKeyboardModifiers());
}
