#pragma once

// The report viewer control of the viewer screens: fetches a report definition (.mrd,
// docs/report-definition.md) from a report server or a file, binds the screen's parameter
// string, runs the definition's statements read-only on the client's connection and shows
// the pages inside its rectangle, with its own toolbar (pages, zoom, print, PDF, Excel).
// Failures are shown inside the control, naming the location and the reason; nothing pops
// up and nothing is thrown to the screen.

#include "common/dialogs.h"
#include "db/connection.h"
#include "report/document.h"

#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace kelo::report {
class PageBrowser;
}

namespace kelo::viewer {

struct LoadedReport;
struct ResolvedLocation;

class Rdviewer40 : public QWidget {
    Q_OBJECT
public:
    enum class State { Empty, Loading, Shown, Failed };

    explicit Rdviewer40(db::Connection &connection, QWidget *parent = nullptr);
    ~Rdviewer40() override;

    // Starts loading the report at location with the parameter string ("/rp [..]" or
    // "/rv  NAME[..] /reditmode") and shows its first page when loaded; a later call
    // replaces the report shown. Returns at once for an http location (the control shows
    // a busy indicator meanwhile), after loading for a file. True when loading started.
    // While the statements run (under the limits of Kelo_S.ini [Report]) the control
    // shows a cancel button ("취소", Esc) and keeps the windows painted; other input waits.
    bool OpenReport(const QString &location, const QString &params);
    // The same without a parameter string: once the definition is read, a prompt asks for
    // the values of its parameters (those a variant does not fix), starting with their
    // defaults (or with the values last confirmed for that report while the program runs);
    // cancelled, the control says so and shows nothing.
    bool OpenReportAsking(const QString &location);
    // Prints the report of the OpenReport call just before (waiting for it to load) on the
    // default printer, as a PDF in the report folder when there is none; no dialog.
    void PrintDirect();
    // Prints the report shown after the print dialog (printer, pages, copies; cancelled,
    // nothing is printed); without a report it says so inside the control.
    void PrintReport();

    // Zoom in percent; the page fitting mode: 0 the zoom given, 1 fit width, 2 fit page.
    short ZoomRatio() const;
    void setZoomRatio(short percent);
    short AutoAdjust() const;
    void setAutoAdjust(short mode);

    // What the control holds, for its screen and for tests.
    State state() const;
    QString location() const;                 // of the last OpenReport
    QString params() const;                   // of the last OpenReport
    QString message() const;                  // the failure shown, empty otherwise
    const report::Document *document() const; // the pages shown, null without
    int currentPage() const;                  // from 1
    // Runs the event loop until loading has ended (shown or failed); false on timeout.
    bool waitForLoaded(int milliseconds = 30000);
    // The outcome of the last print or save, as the toolbar shows it.
    QString status() const;
    // The report as its pages show it into an .xlsx, or by the name an .xls, file
    // (report::LayOutSheet through ExcelSheet: titles, headings, groups, totals in page order,
    // figures as numbers in their display format); false with status() telling why when
    // nothing was written (past the rows an .xls file holds, the .xls row-limit message).
    bool saveAsExcel(const QString &path);
    bool saveAsPdf(const QString &path);
    void showPage(int page); // from 1
    // The pages, the find bar and the thumbnails.
    report::PageBrowser *pages() const;

signals:
    void OnReportFinished(); // shown
    void OnFailed(const QString &message);
    void OnCancelled(); // the prompt was cancelled: nothing shown
    void OnPrintButtonClicked();

private:
    void buildToolbar();
    void buildPanes();
    void connectControls();
    void askSaveAsPdf();
    void askSaveAsExcel();
    void clearReport();
    void fail(const QString &reason);
    void load(const QByteArray &bytes, const QString &name);
    void openBase(std::unique_ptr<LoadedReport> variant);
    // Adds the prompt's answers to the values fixed; false (and the reason shown) when it
    // could not be asked or was cancelled.
    bool askValues(const LoadedReport &report, QHash<QString, QString> &fixed);
    void readPictures();
    bool takePicture(const QByteArray &bytes);
    void showReport(std::unique_ptr<LoadedReport> loaded);
    // What a read is for: its noun in messages ("보고서 파일", "그림 파일 logo.png"; none for
    // a fetched definition), the most bytes it may take, what stands before a failure
    // ("NAME.mrd:12:5: " or nothing).
    struct Wanted {
        QString noun;
        qsizetype limit = 0;
        QString place;
    };
    std::optional<QByteArray> readFile(const QString &path, const Wanted &wanted);
    std::optional<QByteArray> readFile(const ResolvedLocation &where);
    void fetch(const ResolvedLocation &where);
    void fetchBytes(const QUrl &url, const Wanted &wanted,
                    std::function<void(const QByteArray &)> then);
    void runPendingLoad();
    void updateControls();
    // Prints the report shown as chosen; the default printer, every page, once without a choice.
    void print(const std::optional<PrintChoice> &choice);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace kelo::viewer
