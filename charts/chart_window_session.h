#pragma once
// The chart window's state and rhythm without its widgets: the presentation switches, which
// chart the two chart buttons belong to, the zoom chart and when it must be drawn again, the
// zoom window's place, the picture size and the picture export, and the refresh and paint of
// the charts. The main window shows the results: it moves the buttons, updates the drawing
// areas and hands the zoom window its surface.

#include "charts/chart_set.h"
#include "charts/zoom_chart.h"
#include "colour/probe_reading.h"
#include "data/monitor_records.h"
#include "data/settings.h"
#include "platform/clock.h"
#include "platform/prompter.h"
#include "platform/settings_store.h"
#include "platform/step_trace.h"
#include "tables/patch_catalogue.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace vqs {

// The presentation flags, kept with the application's records because the readouts, the patch
// labels and the report read them too.
struct ChartPresentation {
    bool& xyMode;       // chromaticity as x, y instead of u', v'
    int& spectralView;  // view of the spectral panel, 0..5
    int& rgbView;       // view of the RGB chart, 0..2
};

// What the chart window works on; all of it lives elsewhere and outlives the session.
struct ChartWindowRecords {
    ChartSet& charts;
    ChartPresentation presentation;
    const Tcaldaten& workingReport;
    const PatchCatalogue& targets;
    Settings& settings;  // zoom places and picture sizes are written, the rest is read
    const Tprobevals& probe1;
    const Tprobevals& probe2;
};

struct ChartWindowServices {
    Prompter& prompts;
    const Clock& clock;
    SettingsStore& store;
    StepTrace& trace;
};

// What the session needs of the window; a function left empty stands for a window without
// that part (no status line, no zoom window).
struct ChartWindowView {
    std::function<void(const QString&)> tellQuietly;  // a confirmation in the status line
    std::function<bool()> zoomVisible;                // the zoom window is on the screen
    std::function<void()> redrawZoom;                 // draw the zoom chart again at its size
};

enum class ViewStep { forward, backward };

class ChartWindowSession {
  public:
    ChartWindowSession(ChartWindowRecords records, ChartWindowServices services,
                       ChartWindowView view);

    // ---- The charts: created once at start-up, painted from their prepared pictures and
    // refreshed after every reading. `selectedSlot` is the patch list's selection, -1 for none.
    void createCharts();
    void paintArea(int tag);
    void refresh(int selectedSlot);
    void redrawGammaPanels();
    void replotSpectralPanel(int selectedSlot);

    // ---- Presentation switches.
    void toggleXyMode();
    // The next or previous of the six spectral views, replotted; the zoom window follows when
    // it shows the spectral panel.
    void stepSpectralView(ViewStep step, int selectedSlot);
    void stepRgbView();

    // ---- The two chart buttons, shown on one chart at a time.
    // False when they are on that chart already, so the window leaves them where they are.
    bool showButtonsOn(int tag);
    void hideButtons() { chartButtonTag_ = 0; }
    int chartButtonTag() const { return chartButtonTag_; }  // 0 while the buttons are hidden

    // ---- The zoom window.
    // Where the zoom window of a chart stood last; none for a tag without a place.
    std::optional<std::array<int32_t, 4>> zoomPlacement(int tag) const;
    // Configures the zoom chart for the window's client area, paints it and draws the readings
    // over it; returns the window caption.
    QString drawZoomChart(int tag, int clientWidth, int clientHeight, int selectedSlot);
    // Whether the zoom chart was drawn in another presentation than the current one.
    bool zoomStale() const;
    // Keeps the place the window closed at, per chart, in the settings and the store.
    void zoomWindowClosed(int tag, const std::array<int32_t, 4>& placement);

    // ---- The picture of the chart the buttons are on: its size asked for, checked and kept,
    // then the picture written into the report folder.
    void savePicture(int selectedSlot);
    const QString& lastPicturePath() const { return lastPicturePath_; }

  private:
    GammaSources gammaSources() const;
    ChartInputs chartInputs(int selectedSlot) const;
    ZoomSelection selection() const;
    bool zoomVisible() const;
    void redrawZoomIfStale();
    void exportPicture(int tag, int width, int height, int selectedSlot);

    ChartWindowRecords records_;
    ChartWindowServices services_;
    ChartWindowView view_;
    int chartButtonTag_ = 0;      // the tag both chart buttons carry
    ZoomSelection zoomDrawnFor_;  // the presentation the zoom chart was drawn in
    QString lastPicturePath_;
};

}  // namespace vqs
