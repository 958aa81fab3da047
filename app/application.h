#pragma once
// Program entry pieces shared by the program and the demo: the guarded application object, the
// three windows in their order of creation, and an orderly close on SIGTERM and SIGINT.

#include "app/app_services.h"
#include "app/app_state.h"
#include "app/tform1.h"
#include "app/tform2.h"
#include "app/tform3.h"

#include <QApplication>
#include <QIcon>

#include <functional>
#include <memory>

namespace vqs {

// Reports an exception that escapes a handler and lets the message loop go on.
class GuardedApplication final : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    void setErrorReporter(std::function<void(const QString&)> reporter) {
        reporter_ = std::move(reporter);
    }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::function<void(const QString&)> reporter_;
};

struct Windows {
    std::unique_ptr<TForm1> form1;  // main window, created first
    std::unique_ptr<TForm3> form3;  // chart zoom window, hidden
    std::unique_ptr<TForm2> form2;  // test-pattern window, hidden
    // Members go in reverse order: the main window is destroyed last.
};

Windows createWindows(AppState& state, AppServices& services);

// The program's icon at the sizes of the desktop's icon theme; every window shows it.
QIcon programIcon();

// Closes the main window (and so runs the shutdown sequence) on SIGTERM or SIGINT.
void closeOnTerminationSignals(QWidget& mainWindow);

}  // namespace vqs
