#include "app/application.h"

#include "app/build_label.h"
#include "app/dark_theme.h"

#include <QLabel>
#include <QSocketNotifier>

#include <csignal>
#include <exception>
#include <sys/socket.h>
#include <unistd.h>

namespace vqs {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Lumiquest"));
    setOrganizationName(QStringLiteral("NORVALE"));
    setApplicationVersion(programVersion());
    // Windows without an icon of their own show the application's, all three of ours included;
    // the desktop file name lets a Wayland desktop match the windows to the menu entry.
    setWindowIcon(programIcon());
    setDesktopFileName(QStringLiteral(VQS_APP_ID));
    applyDarkTheme(*this);
}

QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/lumiquest/%1.png").arg(size), QSize(size, size));
    return icon;
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (reporter_) reporter_(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        if (reporter_) reporter_(QStringLiteral("Unknown error"));
    }
    return false;
}

Windows createWindows(AppState& state, AppServices& services) {
    Windows windows;
    windows.form1 = std::make_unique<TForm1>(state, services);
    windows.form3 = std::make_unique<TForm3>();
    windows.form2 = std::make_unique<TForm2>(state.settings.patternGeometry);
    windows.form1->setPatternWindow(windows.form2.get());
    windows.form1->setZoomWindow(windows.form3.get());
    if (auto* buildLabel = windows.form1->findChild<QLabel*>(QStringLiteral("_BuildNumber")))
        buildLabel->setToolTip(buildLabelToolTip());
    // Only the main window keeps the program running.
    windows.form2->setAttribute(Qt::WA_QuitOnClose, false);
    windows.form3->setAttribute(Qt::WA_QuitOnClose, false);
    return windows;
}

namespace {

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

void closeOnTerminationSignals(QWidget& mainWindow) {
    // A signal handler may only write to a pipe; the event loop reads it and closes the window.
    if (signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &mainWindow);
    QObject::connect(notifier, &QSocketNotifier::activated, &mainWindow, [&mainWindow] {
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
        mainWindow.close();
        QApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace vqs
