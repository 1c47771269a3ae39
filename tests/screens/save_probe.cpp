// The client's save paths in a process of their own, for the tests that kill the client
// right after a save. It opens the database of the alias TESTDB (Databases.ini in
// KELO_APP_DIR) as the client does, reads one command a line from its standard input and
// answers on its standard output:
//   dialog open|save      the program's own file dialog of that kind in the database's folder,
//                         every file listed and typed as a user would see it, then cancelled
//   weather DATE CODE     SRI010: the day's weather typed into the grid, F2
//   target MONTH OUTLET GUESTS   STI010: the month's first row's guests, F2
//   import FILE           STI020: the spreadsheet read and the targets updated
//   build DATE            SRS010: the day's report data built
// After each command it writes "said: " and every message the screen gave, then "done".
// Questions are answered Yes; the file dialogs are the real ones.
#include "common/appdir.h"
#include "common/application.h"
#include "common/dialogs.h"
#include "common/globals.h"
#include "common/silentstop.h"
#include "database/schema.h"
#include "db/connection.h"
#include "screens/mis/sri010_main_information.h"
#include "screens/reports/srs010_report_output.h"
#include "screens/targets/target_import.h"
#include "screens/targets/target_input.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <string>

using namespace kelo;

namespace {

QStringList said;

// The real file dialogs; everything else written down and answered Yes.
class ProbeDialogs : public QtDialogs {
public:
    void showError(const QString &message) override { said << QStringLiteral("ERROR ") + message; }
    bool askYesNo(const QString &) override { return true; }
    void showMessage(const QString &message) override { said << message; }
};

void answer() {
    for (QString line : said)
        std::printf("said: %s\n", line.replace(u'\r', u' ').toUtf8().constData());
    said.clear();
    std::printf("done\n");
    std::fflush(stdout);
}

// Lists the folder in the dialog that is open the way its views do (the file system model's
// rows with their icons and types, the detail view painted), then cancels it.
void walkAndCancel(const QString &folder) {
    auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    if (!dialog) {
        QTimer::singleShot(20, [folder] { walkAndCancel(folder); });
        return;
    }
    auto *model = dialog->findChild<QFileSystemModel *>();
    const QFileInfoList files =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (model) {
        const QModelIndex parent = model->index(folder);
        QTest::qWaitFor([&] { return model->rowCount(parent) > 0; }, 10000);
        for (int r = 0; r < model->rowCount(parent); ++r) {
            const QModelIndex i = model->index(r, 0, parent);
            model->data(i, Qt::DecorationRole);
            model->type(i);
            model->data(model->index(r, 2, parent), Qt::DisplayRole);
        }
    }
    if (const QAbstractFileIconProvider *icons = dialog->iconProvider())
        for (const QFileInfo &info : files) {
            icons->icon(info);
            icons->type(info);
        }
    dialog->setViewMode(QFileDialog::Detail);
    QTest::qWait(300); // the views paint and the gatherer thread types what it lists
    dialog->reject();
}

void fileDialog(const QString &kind, const QString &folder) {
    QTimer::singleShot(0, [folder] { walkAndCancel(folder); });
    const QString chosen =
        kind == QLatin1String("save")
            ? Dialogs::instance().getSaveFileName(ApplicationTitle(), folder + QStringLiteral("/x"),
                                                  QStringLiteral("Excel 파일 (*.xls)"))
            : Dialogs::instance().getOpenFileName(QString(), folder, QString());
    said << QStringLiteral("chosen '%1'").arg(chosen);
}

// Typed as a user types: the editor opens on the cell, the text goes in, the row is posted.
void typeInto(controls::Grid *grid, int row, int column, const QString &text) {
    if (!grid->setCurrentCell(row, column))
        return;
    if (!grid->openEditor())
        grid->edit(grid->model()->index(row, column));
    if (auto *editor = qobject_cast<QLineEdit *>(grid->openEditor())) {
        editor->selectAll();
        QTest::keyClicks(editor, text);
        grid->postEdit();
    } else {
        grid->setValue(row, column, text);
    }
}

template <typename Screen> void show(Screen &s) {
    s.resize(1016, 700);
    s.show();
    s.activateWindow();
    QTest::qWaitForWindowActive(&s);
}

void press(QAbstractButton *button) {
    try {
        QTest::mouseClick(button, Qt::LeftButton);
    } catch (const SilentStop &) {
    }
}

void weather(db::Connection &c, const QString &date, const QString &code) {
    screens::TfrmSRI010 s(c);
    show(s);
    s.dedSaleDate->setYmd(date);
    press(s.bbtSearch);
    for (int r = 0; r < s.rgrGrid->rowCountFetched(); ++r)
        if (s.rgrGrid->text(r, 0) == date)
            typeInto(s.rgrGrid, r, 1, code);
    press(s.bbtSave);
    // The screen says "자료를 저장했습니다." and then searches the day again, which clears
    // the status line: its Saved flag is what it said.
    said << (s.Saved ? QStringLiteral("자료를 저장했습니다.") : s.stbMessage->panelText(1));
}

void target(db::Connection &c, const QString &month, const QString &outlet, const QString &guests) {
    screens::TfrmSTI010 s(c);
    show(s);
    s.mdtWorkDate->setValue(month);
    s.edt_Upjang_No->setText(outlet);
    press(s.bbtSearch);
    if (s.rgrGrid->rowCountFetched() > 0)
        typeInto(s.rgrGrid, 0, 3, guests);
    press(s.bbtSave);
    said << s.stbMessage->panelText(1);
}

void import(db::Connection &c, const QString &file) {
    screens::TfrmSTI020 s(c);
    show(s);
    // The file as the user would pick it in the real dialog.
    QTimer::singleShot(0, [file] {
        QTest::qWaitFor(
            [] { return qobject_cast<QFileDialog *>(QApplication::activeModalWidget()); }, 10000);
        if (auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            d->selectFile(file);
            QMetaObject::invokeMethod(d, "accept");
        }
    });
    press(s.bbtSearch);
    press(s.btnSave1);
}

void build(db::Connection &c, const QString &date) {
    screens::TfrmSRS010 s(c);
    show(s);
    s.medSaleDate->setValue(date);
    press(s.bbtSave);
    said << s.stbMessage->panelText(1);
}

} // namespace

int main(int argc, char **argv) {
    Application app(argc, argv); // with the program's general error handling
    Dialogs::install(std::make_unique<ProbeDialogs>());
    database::Install();
    Globals().empNo = QStringLiteral("20000001");
    Globals().clientIP = QStringLiteral("10.9.9.9");
    db::Connection connection;
    connection.setParams({QStringLiteral("DATABASE=TESTDB"),
                          QStringLiteral("USER_NAME=") + qEnvironmentVariable("KELO_PG_USER"),
                          QStringLiteral("PASSWORD=") + qEnvironmentVariable("KELO_PG_PASSWORD")});
    try {
        connection.open();
    } catch (const std::exception &e) {
        std::printf("cannot open: %s\n", e.what());
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
        const QStringList w = QString::fromStdString(line).split(u' ', Qt::SkipEmptyParts);
        if (w.isEmpty())
            continue;
        try {
            if (w[0] == QLatin1String("dialog") && w.size() == 2)
                fileDialog(w[1], QFileInfo(connection.databaseFile()).absolutePath());
            else if (w[0] == QLatin1String("weather") && w.size() == 3)
                weather(connection, w[1], w[2]);
            else if (w[0] == QLatin1String("target") && w.size() == 4)
                target(connection, w[1], w[2], w[3]);
            else if (w[0] == QLatin1String("import") && w.size() == 2)
                import(connection, w[1]);
            else if (w[0] == QLatin1String("build") && w.size() == 2)
                build(connection, w[1]);
            else
                said << QStringLiteral("ERROR unknown command");
        } catch (const std::exception &e) {
            said << QStringLiteral("ERROR ") + QString::fromUtf8(e.what());
        }
        answer();
    }
    return 0;
}
