#pragma once
// The main window for benchmarks: a scratch settings store and serial folder, questions
// answered yes, timers stopped so the benchmark steps the ticks itself.

#include "app/application.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "sim/answering_prompter.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <QTimer>

namespace vqs::bench {

struct OffscreenWindow {
    QTemporaryDir dir;
    sim::AnsweringPrompter prompter;
    FixedClock clock{QDate(2026, 12, 10), QTime(10, 0)};
    IniSettingsStore store{dir.filePath("VQS1.0.ini"), kSettingsBaseKey};
    AppServices services{prompter, clock, store};
    AppState state;
    Windows windows;

    OffscreenWindow() { qputenv("VQS_SERIAL_DIR", dir.filePath("serial").toLocal8Bit()); }

    // Creates the windows; call once the benchmark's own setting (files, instruments) is ready.
    TForm1& open() {
        windows = createWindows(state, services);
        windows.form1->Timer1->stop();
        windows.form1->Timer2->stop();
        return *windows.form1;
    }
};

// main() of a benchmark that needs widgets.
inline int runOffscreenBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("VQS_LOOPBACK_ONLY", "1");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace vqs::bench
