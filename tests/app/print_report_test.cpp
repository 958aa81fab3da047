// "Print" from the main window: the report is filled from the window's identity fields and the
// working report, and the preview prints the pages and exports the PDF into the report folder.

#include "app/application.h"
#include "app/report_preview.h"
#include "charts/gallery_report.h"
#include "data/settings_store.h"
#include "platform/ini_settings_store.h"
#include "report/pdf_export.h"
#include "report/report_filling.h"
#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace vqs {
namespace {

class PrintReport : public testing::Test {
  protected:
    PrintReport() {
        windows_ = createWindows(state_, services_);
        state_.settings.reportDir = reports_.path();
        form().Timer1->stop();
        form().Timer2->stop();
        form().setReportPresenter([this](const ReportDocument& document, const QString& folder) {
            shown_.push_back(document);
            folders_ << folder;
        });
    }
    TForm1& form() { return *windows_.form1; }

    AppState state_;
    test::ScriptedPrompter prompter_;
    FixedClock clock_{QDate(2026, 12, 10), QTime(10, 0)};
    QTemporaryDir configHome_;
    QTemporaryDir reports_;
    IniSettingsStore store_{configHome_.filePath(QStringLiteral("NORVALE/VQS1.0.ini")),
                            kSettingsBaseKey};
    AppServices services_{prompter_, clock_, store_};
    Windows windows_;
    std::vector<ReportDocument> shown_;
    QStringList folders_;
};

TEST_F(PrintReport, TheButtonFillsTheReportFromTheWindowAndTheWorkingReport) {
    state_.workingReport = makeGalleryReport(state_.targets);
    state_.workingReport.repdate = QStringLiteral("10.12.2026");
    form().editDevsnid->setText(QStringLiteral("A/7"));
    form().editDevname->setText(QStringLiteral("Studio B"));
    state_.xyMode = true;
    form().btnPrint->click();
    ASSERT_EQ(shown_.size(), 1u);
    const ReportDocument& document = shown_.front();
    EXPECT_EQ(document.title, QStringLiteral("VQSREPORT_A7_StudioB_10.12.2026.pdf"));
    EXPECT_EQ(document.text(QStringLiteral("repDUTname1")), QStringLiteral("DUT: #A/7 Studio B"));
    EXPECT_EQ(document.text(QStringLiteral("repTabEBUCheader2")), QStringLiteral("x"));
    EXPECT_EQ(folders_, QStringList{reports_.path()});
    EXPECT_TRUE(prompter_.shown().empty());
}

TEST_F(PrintReport, TheButtonOpensTheModalPreviewOfTheSixPages) {
    form().setReportPresenter({});
    form().editDevsnid->setText(QStringLiteral("42"));
    QString title;
    int pages = 0;
    // The preview runs its own event loop; look at it from there, then close it.
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<ReportPreview*>(QApplication::activeModalWidget());
        if (preview == nullptr) return;
        title = preview->windowTitle();
        if (auto* view = preview->findChild<QPrintPreviewWidget*>()) pages = view->pageCount();
        preview->reject();
    });
    form().btnPrint->click();
    EXPECT_TRUE(title.startsWith(QStringLiteral("VQSREPORT_42_"))) << title.toStdString();
    EXPECT_EQ(pages, 6);
}

class PreviewExport : public testing::Test {
  protected:
    ReportDocument document() {
        const ReportInputs inputs{report_, targets_, reading_, QStringLiteral("7"),
                                  QStringLiteral("M"), QStringLiteral("2.35"), false};
        return fillReport(inputs);
    }
    PatchCatalogue targets_ = makePatchCatalogue();
    Tcaldaten report_ = makeGalleryReport(targets_);
    Tprobevals reading_;
    test::ScriptedPrompter prompter_;
    QTemporaryDir folder_;
};

TEST_F(PreviewExport, ExportsIntoTheReportFolderUnderTheReportsName) {
    ReportPreview preview(document(), folder_.path(), prompter_);
    QString suggested;
    preview.choosePath = [&](const QString& path) -> std::optional<QString> {
        suggested = path;
        return path;
    };
    QStringList exported;
    QObject::connect(&preview, &ReportPreview::exported,
                     [&exported](const QString& path) { exported << path; });
    preview.exportAction()->trigger();
    EXPECT_EQ(suggested, folder_.filePath(QStringLiteral("VQSREPORT_7_M_.pdf")));
    QFile pdf(suggested);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_TRUE(prompter_.shown().empty()) << "confirmed without a box";
    EXPECT_EQ(exported, QStringList{suggested});
    EXPECT_EQ(preview.exportNote(), "The report was exported as " + suggested);
}

TEST_F(PreviewExport, AFailedExportIsToldWithTheReason) {
    ReportPreview preview(document(), folder_.path(), prompter_);
    const QString path = folder_.filePath(QStringLiteral("no such folder/report.pdf"));
    preview.choosePath = [&](const QString&) -> std::optional<QString> { return path; };
    preview.exportPdf();
    EXPECT_EQ(preview.exportNote(), "") << "nothing to confirm";
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.shown()[0].kind, PromptKind::Error);
    EXPECT_TRUE(prompter_.shown()[0].text.contains(path)) << prompter_.shown()[0].text.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(PreviewExport, ACancelledChoiceWritesNothing) {
    ReportPreview preview(document(), folder_.path(), prompter_);
    preview.choosePath = [](const QString&) -> std::optional<QString> { return std::nullopt; };
    preview.exportPdf();
    EXPECT_TRUE(QDir(folder_.path()).isEmpty());
    EXPECT_TRUE(prompter_.shown().empty());
}

TEST_F(PreviewExport, ThePreviewLaysOutTheSixPages) {
    ReportPreview preview(document(), folder_.path(), prompter_);
    int paints = 0;
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, [&paints] { ++paints; });
    preview.resize(900, 1000);
    preview.open();
    QCoreApplication::processEvents();
    EXPECT_GE(paints, 1);
    EXPECT_FALSE(preview.grab().isNull());
    preview.close();
}

}  // namespace
}  // namespace vqs
