#include "startup.h"

#include "main/mainwindow.h"
#include "settings/appdirs.h"
#include "settings/settings.h"
#include "track/mediatool.h"
#include "views/mydialog.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSocketNotifier>
#include <QTranslator>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vx {

namespace {

const char *const kTitle = "Volantix";

// A termination request (SIGTERM from a session logout, SIGINT from a
// terminal) closes the player window the normal way, so that the window
// places are saved as on Quit. The handler only writes to a socket.
int g_signalFds[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    const ssize_t written = ::write(g_signalFds[0], &byte, 1);
    (void)written;
}

class TerminationHandler {
public:
    explicit TerminationHandler(QWidget *window)
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) != 0)
            return;
        m_notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read);
        QObject::connect(m_notifier, &QSocketNotifier::activated, window, [window] {
            char byte;
            const ssize_t got = ::read(g_signalFds[1], &byte, 1);
            (void)got;
            window->close();
        });
        struct sigaction action = {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGTERM, &action, &m_oldTerm);
        ::sigaction(SIGINT, &action, &m_oldInt);
        m_installed = true;
    }
    ~TerminationHandler()
    {
        if (m_installed) {
            ::sigaction(SIGTERM, &m_oldTerm, nullptr);
            ::sigaction(SIGINT, &m_oldInt, nullptr);
        }
        delete m_notifier;
        for (int &fd : g_signalFds) {
            if (fd >= 0)
                ::close(fd);
            fd = -1;
        }
    }
    TerminationHandler(const TerminationHandler &) = delete;
    TerminationHandler &operator=(const TerminationHandler &) = delete;

private:
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_oldTerm = {};
    struct sigaction m_oldInt = {};
    bool m_installed = false;
};

} // namespace

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(keys::APPLICATION));
    QCoreApplication::setOrganizationName(QString::fromLatin1(keys::ORGANIZATION));
    QCoreApplication::setOrganizationDomain(QStringLiteral("norvane.com"));
    // The installed desktop entry: the desktop matches the windows to it
    // (their icon, the task bar's grouping).
    QGuiApplication::setDesktopFileName(QStringLiteral(VX_APP_ID));
}

QStringList languageList()
{
    return {QStringLiteral("Default"), QStringLiteral("Chinese"), QStringLiteral("English")};
}

TranslationChoice translationChoice(const QString &language, const QString &systemLocaleName)
{
    TranslationChoice c;
    if (language == QLatin1String("English"))
        return c;
    if (language == QLatin1String("Chinese")) {
        c.qtFile = QStringLiteral("qt_ch");
        c.appFile = QStringLiteral("lx_ch");
        c.chineseLocale = true;
        return c;
    }
    // "Default", and a value this program never writes.
    c.qtFile = QStringLiteral("qt_") + systemLocaleName;
    c.appFile = QStringLiteral("lx_") + systemLocaleName;
    return c;
}

bool offerToClearSettings(Qt::KeyboardModifiers modifiers)
{
    if (modifiers != Qt::ShiftModifier)
        return false;
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(kTitle), clearSettingsQuestion());
    QPushButton *no = box.addButton(QString::fromLatin1(CLEAR_SETTINGS_NO), QMessageBox::RejectRole);
    QPushButton *yes = box.addButton(QString::fromLatin1(CLEAR_SETTINGS_YES), QMessageBox::AcceptRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    if (box.clickedButton() != yes)
        return false;
    clearAllSettings();
    QMessageBox::information(nullptr, QString::fromLatin1(kTitle), QString::fromLatin1(SETTINGS_CLEARED));
    return true;
}

bool refuseWithoutMediaTool()
{
    if (mediaToolFound())
        return false;
    QMessageBox::warning(nullptr, QString::fromLatin1(kTitle), mediaToolMissingStartupText(), QMessageBox::Ok);
    return true;
}

int runApplication(QApplication &app, const QStringList &arguments, Qt::KeyboardModifiers modifiers)
{
    // (The macOS font substitution of the original start-up has no meaning here.)
    QTranslator qtTranslator;
    QTranslator appTranslator;
    {
        auto store = openSettingsStore();
        store->beginGroup(QString::fromLatin1(keys::CONFIG_GROUP));
        const QString language = store->value(QStringLiteral("language"), languageList().first()).toString();
        store->endGroup();
        const TranslationChoice choice = translationChoice(language, QLocale::system().name());
        if (choice.chineseLocale)
            QLocale::setDefault(QLocale(QLocale::Chinese));
        if (!choice.qtFile.isEmpty()
            && qtTranslator.load(choice.qtFile, QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
            app.installTranslator(&qtTranslator);
        if (!choice.appFile.isEmpty() && appTranslator.load(choice.appFile, resourceDir()))
            app.installTranslator(&appTranslator);
    }

    offerToClearSettings(modifiers);
    if (refuseWithoutMediaTool())
        return 0;

    MainWindow window;
    g_mainWindow = &window;
    window.applySavedPlayerSettings();
    window.handleCommandLine(arguments);
    QObject::connect(&window, &MainWindow::closed, &app, &QCoreApplication::quit);
    TerminationHandler termination(&window);
    window.show();
    const int status = app.exec();
    g_mainWindow = nullptr;
    return status;
}

} // namespace vx
