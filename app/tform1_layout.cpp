// The composition of the main window: every control with its name, text, colours and place.

#include "app/chart_area.h"
#include "app/eliding_combo_box.h"
#include "app/patch_list.h"
#include "app/probe_state_look.h"
#include "app/tform1.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace vqs {

namespace {

const QColor kLime(0x00, 0xFF, 0x00);
const QColor kPanel(0x40, 0x40, 0x40);
constexpr int kReadoutPixels = 27;
constexpr int kSmallRowHeight = 13;

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top,
              const QColor& colour = Qt::white) {
    auto* l = named(new QLabel(text, parent), name);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, colour);
    l->setPalette(palette);
    l->move(left, top);
    l->adjustSize();
    return l;
}

QLabel* readoutLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                     const QColor& colour) {
    QLabel* l = label(parent, name, text, left, top, colour);
    QFont big = l->font();
    big.setPixelSize(kReadoutPixels);
    l->setFont(big);
    l->resize(110, kReadoutPixels + 6);
    return l;
}

// A label whose text changes while the program runs gets a fixed box, so long texts show.
QLabel* fixedLabel(QWidget* parent, const char* name, int left, int top, int width,
                   const QColor& colour = Qt::white) {
    QLabel* l = label(parent, name, QString(), left, top, colour);
    l->resize(width, kSmallRowHeight + 2);
    return l;
}

QFrame* panel(QWidget* parent, const char* name, const QRect& place) {
    auto* p = named(new QFrame(parent), name);
    p->setGeometry(place);
    p->setAutoFillBackground(true);
    QPalette palette = p->palette();
    palette.setColor(QPalette::Window, kPanel);
    p->setPalette(palette);
    return p;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& place) {
    auto* b = named(new QPushButton(text, parent), name);
    b->setGeometry(place);
    return b;
}

QComboBox* dropDown(QWidget* parent, const char* name, const QStringList& items,
                    const QRect& place) {
    auto* c = named(new QComboBox(parent), name);
    c->addItems(items);
    c->setGeometry(place);
    return c;
}

ElidingComboBox* probeList(QWidget* parent, const char* name, const QRect& place) {
    auto* c = named(new ElidingComboBox(parent), name);
    c->setGeometry(place);
    return c;
}

// The width a line edit needs to show the text whole, measured as Qt sizes line edits: the
// text, the edit's inner margins and text margins, and the style's frame around them.
int widthShowingWhole(const QLineEdit& e, const char* longest) {
    constexpr int kInnerMargin = 2;  // each side, inside the frame
    constexpr int kCursor = 1;
    const QMargins text = e.textMargins();
    const QMargins contents = e.contentsMargins();
    const int inner = e.fontMetrics().horizontalAdvance(QString::fromLatin1(longest)) +
                      2 * kInnerMargin + kCursor + text.left() + text.right() + contents.left() +
                      contents.right();
    QStyleOptionFrame option;
    option.initFrom(&e);
    option.lineWidth = e.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &e);
    return e.style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, e.height()), &e)
        .width();
}

QLineEdit* edit(QWidget* parent, const char* name, const QRect& place) {
    auto* e = named(new QLineEdit(parent), name);
    e->setGeometry(place);
    return e;
}

}  // namespace

void TForm1::createControls() {
    createReadouts();
    createChartAreas();
    createCapturePanel();
    createProbePanel();
    createDeviceGrid();

    commonmsg = fixedLabel(this, "commonmsg", 939, 118, 313);
    commonmsg->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    buildNumber = fixedLabel(this, "_BuildNumber", 939, 704, 313);
    createProbeStateLabels();  // whether each position delivers (tform1_feedback.cpp)

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(100);
    Timer2 = named(new QTimer(this), "Timer2");
    Timer2->setInterval(1000);
}

void TForm1::createReadouts() {
    struct Column {
        int x, y, cct;
    };
    const Column first{579, 691, 792};
    const Column second{939, 1051, 1151};
    const int rowXy = 8, rowUv = 47, rowXyz = 86;

    readoutLabel(this, "Label6", QStringLiteral("xy CCT"), 475, rowXy, kLime);
    readoutLabel(this, "Label2", QStringLiteral("u'v'"), 475, rowUv, kLime);
    readoutLabel(this, "Label1", QStringLiteral("XYZ"), 475, rowXyz, kLime);
    label(this, "Label15", QStringLiteral("1."), 462, 8);
    label(this, "Label16", QStringLiteral("2."), 923, 8);

    auto makeReadout = [this](ReadoutLabels& r, const Column& c, const char* suffix,
                              const QColor& colour, int zLeft) {
        auto n = [suffix](const char* base) { return QByteArray(base) + suffix; };
        r.x = readoutLabel(this, n("_xyCCT_xvalue"), QStringLiteral("0.3127"), c.x, rowXy, colour);
        r.y = readoutLabel(this, n("_xyCCT_yvalue"), QStringLiteral("0.3290"), c.y, rowXy, colour);
        r.cct =
            readoutLabel(this, n("_xyCCT_CCTvalue"), QStringLiteral("6504"), c.cct, rowXy, colour);
        r.u = readoutLabel(this, n("_UV_uvalue"), QStringLiteral("0.1978"), c.x, rowUv, colour);
        r.v = readoutLabel(this, n("_UV_vvalue"), QStringLiteral("0.4683"), c.y, rowUv, colour);
        r.X = readoutLabel(this, n("_XYZ_Xvalue"), QStringLiteral("95.0"), c.x, rowXyz, colour);
        r.Y = readoutLabel(this, n("_XYZ_Yvalue"), QStringLiteral("100.0"), c.y, rowXyz, colour);
        r.Z = readoutLabel(this, n("_XYZ_Zvalue"), QStringLiteral("108.9"), zLeft, rowXyz, colour);
    };
    makeReadout(firstReadout, first, "", kFirstReadoutColour, 791);
    makeReadout(secondReadout, second, "2", kSecondReadoutColour, second.cct);

    targetx = fixedLabel(this, "_targetx", 579, 35, 100, kLime);
    targety = fixedLabel(this, "_targety", 691, 35, 100, kLime);
    targetcct = fixedLabel(this, "_targetcct", 791, 35, 100, kLime);
    targetu = fixedLabel(this, "_targetu", 579, 74, 100, kLime);
    targetv = fixedLabel(this, "_targetv", 691, 74, 100, kLime);
    valuesStatus = fixedLabel(this, "_ValuesStatus", 475, 115, 440, kLime);
}

void TForm1::createChartAreas() {
    auto area = [this](const char* name, const QRect& place) {
        auto* a = named(new ChartArea(this), name);
        a->setGeometry(place);
        return a;
    };
    cieGraph = area("cieGraph", {16, 8, 440, 440});
    SpectralGraph = area("SpectralGraph", {16, 466, 440, 240});
    grayScaleGraph = area("grayScaleGraph", {475, 137, 200, 200});
    ebuColorsGraph = area("ebuColorsGraph", {475, 359, 200, 200});
    rgbGraph = area("rgbGraph", {475, 586, 200, 120});
    grygrading = fixedLabel(this, "_grygrading", 473, 340, 220);
    ebucolgrading = fixedLabel(this, "_ebucolgrading", 473, 567, 220);

    spdBtnZoomIn = named(new QToolButton(this), "spdBtnZoomIn");
    spdBtnZoomIn->resize(41, 37);
    spdBtnZoomIn->hide();
    spdBtnSave = named(new QToolButton(this), "spdBtnSave");
    spdBtnSave->resize(40, 37);
    spdBtnSave->hide();
    connectChartWindow();
}

void TForm1::createCapturePanel() {
    Panel1 = panel(this, "Panel1", {696, 137, 225, 569});
    btnStore = button(Panel1, "btnStore", QStringLiteral("Capture"), {8, 8, 101, 25});
    btnStore->setToolTip(QStringLiteral("Speichert den aktuellen Meßwert"));
    storeAll = button(Panel1, "storeAll", QStringLiteral("Capture All"), {116, 8, 101, 25});
    Button2 = button(Panel1, "Button2", QStringLiteral("Show Pattern"), {8, 38, 101, 25});
    storeGreyscales =
        button(Panel1, "storeGreyscales", QStringLiteral("Capture DICOM"), {116, 38, 101, 25});
    label(Panel1, "Label13", QStringLiteral("Color/Greyscale Selector"), 8, 74);
    colorsgsgroup = named(new PatchListWidget(Panel1), "colorsgsgroup");
    colorsgsgroup->setGeometry(8, 92, 209, 462);
}

void TForm1::createProbePanel() {
    Panel2 = panel(this, "Panel2", {939, 137, 313, 224});
    label(Panel2, "Label7", QStringLiteral("Colori/Spectrometer"), 8, 4);
    label(Panel2, "Label17", QStringLiteral("Brightness Range"), 176, 4);
    label(Panel2, "Label8", QStringLiteral("1."), 8, 24);
    label(Panel2, "Label11", QStringLiteral("2."), 8, 48);
    // The probe lists take what the row leaves: probe names end in their serial numbers.
    firstSM = probeList(Panel2, "firstSM", {20, 20, 152, 21});
    scndSM = probeList(Panel2, "scndSM", {20, 44, 152, 21});
    firstSMRange =
        dropDown(Panel2, "firstSMRange",
                 {QStringLiteral("Auto"), QStringLiteral("Bright"), QStringLiteral("Normal"),
                  QStringLiteral("Medium"), QStringLiteral("Dark")},
                 {176, 20, 68, 21});
    // The second list's entries are spelled as the instrument makers' users know them.
    scndSMRange =
        dropDown(Panel2, "scndSMRange",
                 {QStringLiteral("Auto"), QStringLiteral("Bright"), QStringLiteral("Norma"),
                  QStringLiteral("Mediuml"), QStringLiteral("Dark")},
                 {176, 44, 68, 21});
    firstSMdark = button(Panel2, "firstSMdark", QStringLiteral("CalScan"), {248, 20, 58, 21});
    secondSMDark = button(Panel2, "secondSMDark", QStringLiteral("CalScan"), {248, 44, 58, 21});
    watchProbeControls();  // ranges, CalScan, calibration file and status line (tform1_probes.cpp)

    createConnectionFields();

    label(Panel2, "Label4", QStringLiteral("SN/ID"), 11, 126);
    editDevsnid = edit(Panel2, "editDevsnid", {11, 141, 90, 21});
    label(Panel2, "Label3", QStringLiteral("Monitor"), 106, 126);
    editDevname = edit(Panel2, "editDevname", {106, 141, 120, 21});
    label(Panel2, "Label12", QStringLiteral("Gamma"), 231, 126);
    targetGamma = dropDown(Panel2, "targetGamma",
                           {QStringLiteral("1.8"), QStringLiteral("2.2"), QStringLiteral("2.35"),
                            QStringLiteral("2.4"), QStringLiteral("DICOM")},
                           {231, 141, 75, 21});
    targetGamma->setCurrentIndex(-1);

    btnClear = button(Panel2, "btnClear", QStringLiteral("New"), {11, 172, 52, 25});
    btnSave = button(Panel2, "btnSave", QStringLiteral("Save(To File)"), {67, 172, 82, 25});
    btnSave->setToolTip(QStringLiteral("Speichert alle Meßwerte in eine Datei."));
    btnDownstream =
        button(Panel2, "btnDownstream", QStringLiteral("Save(To Monitor)"), {153, 172, 98, 25});
    btnPrint = button(Panel2, "btnPrint", QStringLiteral("Print"), {255, 172, 51, 25});
    label(Panel2, "Label14", QStringLiteral("Devicelist"), 11, 202);
    btnLoad = button(Panel2, "btnLoad", QStringLiteral("Load"), {255, 199, 51, 21});
    btnLoad->setToolTip(QStringLiteral("Lädt die Daten aus einer Datei"));
    btnLoad->hide();
}

// The COM number and the network address show their longest values whole ("255",
// "255.255.255.255") in the window's font; the report directory takes the rest of the row and
// shows its whole path as a hint.
void TForm1::createConnectionFields() {
    constexpr int kRowLeft = 11;
    constexpr int kRowRight = 306;
    constexpr int kGap = 5;
    editWorkingDir = edit(Panel2, "editWorkingDir", {kRowLeft, 99, 174, 21});
    editComNr = edit(Panel2, "editComNr", {190, 99, 36, 21});
    editComNr->setText(QStringLiteral("0"));
    editNetworkIP = edit(Panel2, "editNetworkIP", {231, 99, 75, 21});
    const int ipWidth = std::max(75, widthShowingWhole(*editNetworkIP, "255.255.255.255"));
    const int comWidth = std::max(36, widthShowingWhole(*editComNr, "255"));
    const int ipLeft = kRowRight - ipWidth;
    const int comLeft = ipLeft - kGap - comWidth;
    editNetworkIP->setGeometry(ipLeft, 99, ipWidth, 21);
    editComNr->setGeometry(comLeft, 99, comWidth, 21);
    editWorkingDir->setGeometry(kRowLeft, 99, comLeft - kGap - kRowLeft, 21);
    connect(editWorkingDir, &QLineEdit::textChanged, editWorkingDir, &QLineEdit::setToolTip);
    label(Panel2, "Label5", QStringLiteral("Local Report Directory"), kRowLeft, 84);
    label(Panel2, "Label9", QStringLiteral("COM"), comLeft, 84);
    label(Panel2, "Label10", QStringLiteral("Network-IP"), ipLeft, 84);
}

void TForm1::createDeviceGrid() {
    StringGrid1 = named(new QTableWidget(0, 3, this), "StringGrid1");
    StringGrid1->setGeometry(939, 356, 313, 350);
    StringGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("SN/ID"), QStringLiteral("Gerät"), QStringLiteral("Source")});
    StringGrid1->setColumnWidth(0, 60);
    StringGrid1->setColumnWidth(1, 150);
    StringGrid1->setColumnWidth(2, 90);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(18);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    QPalette palette = StringGrid1->palette();
    palette.setColor(QPalette::Base, kPanel);
    palette.setColor(QPalette::Text, Qt::white);
    StringGrid1->setPalette(palette);
}

}  // namespace vqs
