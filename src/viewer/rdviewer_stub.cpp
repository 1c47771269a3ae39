// STAND-IN for the report viewer control, so that the viewer screens build and their tests
// run while the control itself is written: it draws nothing and fetches nothing. It keeps
// what the screen handed it (location, parameter string, zoom, fitting mode), counts the
// print calls in the dynamic properties "printReportCalls" and "printDirectCalls", and says
// inside the control, as the control does, that there is nothing to print before a report
// was opened. It is replaced by the real control, file for file.

#include "viewer/rdviewer.h"

namespace kelo::viewer {

struct Rdviewer40::Private {
    db::Connection *connection = nullptr;
    State state = State::Empty;
    QString location, params, message;
    short zoomRatio = 100;
    short autoAdjust = 0;
    int printReports = 0, printDirects = 0;
};

Rdviewer40::Rdviewer40(db::Connection &connection, QWidget *parent)
    : QWidget(parent), d(std::make_unique<Private>()) {
    d->connection = &connection;
    setProperty("printReportCalls", 0);
    setProperty("printDirectCalls", 0);
}

Rdviewer40::~Rdviewer40() = default;

bool Rdviewer40::OpenReport(const QString &location, const QString &params) {
    d->location = location;
    d->params = params;
    d->message.clear();
    d->state = State::Shown;
    emit OnReportFinished();
    return true;
}

void Rdviewer40::PrintDirect() {
    setProperty("printDirectCalls", ++d->printDirects);
}

void Rdviewer40::PrintReport() {
    setProperty("printReportCalls", ++d->printReports);
    if (d->state != State::Shown)
        d->message = QStringLiteral("인쇄할 보고서가 없습니다.");
}

short Rdviewer40::ZoomRatio() const {
    return d->zoomRatio;
}

void Rdviewer40::setZoomRatio(short percent) {
    d->zoomRatio = percent;
}

short Rdviewer40::AutoAdjust() const {
    return d->autoAdjust;
}

void Rdviewer40::setAutoAdjust(short mode) {
    d->autoAdjust = mode;
}

Rdviewer40::State Rdviewer40::state() const {
    return d->state;
}

QString Rdviewer40::location() const {
    return d->location;
}

QString Rdviewer40::params() const {
    return d->params;
}

QString Rdviewer40::message() const {
    return d->message;
}

const report::Document *Rdviewer40::document() const {
    return nullptr;
}

int Rdviewer40::currentPage() const {
    return d->state == State::Shown ? 1 : 0;
}

bool Rdviewer40::waitForLoaded(int) {
    return true;
}

} // namespace kelo::viewer
