#pragma once
// What the sessions see of the main window: the small interfaces they show their results
// through, answered by the window's controls and handlers.

#include "capture/capture_session.h"
#include "monitor_link/link_session.h"
#include "probes/probe_session.h"

namespace vqs {

class TForm1;

class MainWindowViews final : public ProbeSessionView, public LinkSessionView, public CaptureView {
public:
    explicit MainWindowViews(TForm1& window) : window_(window) {}

    void probeListChanged() override;

    void monitorListChanged() override;
    void saveEnded() override;
    void tellQuietly(const QString& text) override;

    int selectedSlot() const override;
    void selectSlot(int slot) override;
    void showPatchValues(int slot) override;
    void showFirstReading() override;
    void refreshCharts() override;
    bool showPatternLocally() override;
    bool patternWindowShown() const override;
    void sendPatternToMonitor() override;
    void showStatus(const QString& text) override;
    QString typedDevname() const override;
    QString typedDevsnid() const override;

private:
    TForm1& window_;
};

}  // namespace vqs
