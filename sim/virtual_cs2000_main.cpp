// A virtual CS-2000 as its own process: publishes COM n (default 4) in the serial folder and
// takes control lines on standard input ("show 235 235 235", "fault split", "status", "quit").

#include "sim/virtual_lab.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int com = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 4;
    vqs::sim::VirtualLab lab;
    if (com < 1 || !lab.startCs2000(com)) {
        std::fprintf(stderr, "cannot publish COM%d: %s\n", com,
                     qPrintable(lab.cs2000().isRunning() ? QString() : QStringLiteral("failed")));
        return 1;
    }
    lab.display().show(QColor(235, 235, 235));
    std::printf("virtual CS-2000 on COM%d; control lines on standard input\n", com);
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QTextStream in(stdin);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        const QString line = in.readLine();
        if (line.isNull() || line.trimmed() == "quit") return QCoreApplication::quit();
        std::printf("%s\n", qPrintable(lab.command(line)));
        std::fflush(stdout);
    });
    return app.exec();
}
