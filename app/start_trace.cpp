#include "app/start_trace.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>

#include <cstdio>

namespace vqs {

namespace {

void say(const QString& line) {
    std::fprintf(stderr, "lumiquest: %s\n", qPrintable(line));
}

// The sizes at which the icon really draws, not merely the ones it was promised.
QString drawnIconSizes(const QIcon& icon) {
    QStringList sizes;
    for (const QSize& size : icon.availableSizes())
        if (!icon.pixmap(size).isNull()) sizes << QString::number(size.width());
    return sizes.isEmpty() ? QStringLiteral("none") : sizes.join(QLatin1Char(','));
}

}  // namespace

bool traceRequested() {
    return !qEnvironmentVariableIsEmpty("VQS_TRACE");
}

void traceStart(const Windows& windows, const AppState& state) {
    say(QStringLiteral("version %1").arg(QCoreApplication::applicationVersion()));
    say(QStringLiteral("platform plugin %1").arg(QGuiApplication::platformName()));
    say(QStringLiteral("font %1 (%2 families installed)")
            .arg(QFontInfo(windows.form1->font()).family())
            .arg(QFontDatabase::families().size()));
    for (const QWidget* window : {static_cast<const QWidget*>(windows.form1.get()),
                                  static_cast<const QWidget*>(windows.form2.get()),
                                  static_cast<const QWidget*>(windows.form3.get())})
        say(QStringLiteral("icon of %1: %2")
                .arg(window->objectName(), drawnIconSizes(window->windowIcon())));
    if (const auto* label = windows.form1->findChild<QLabel*>(QStringLiteral("_BuildNumber")))
        say(QStringLiteral("build label tooltip %1").arg(label->toolTip()));
    say(QStringLiteral("report folder %1").arg(state.settings.reportDir));
}

void traceEnd(const TForm1& mainWindow, int exitCode) {
    say(QStringLiteral("steps %1").arg(mainWindow.stepTrace().join(QLatin1Char(' '))));
    say(QStringLiteral("exit %1").arg(exitCode));
}

}  // namespace vqs
