#pragma once

#include "db/connection.h"
#include "db/serverobjects.h"

#include <QApplication>
#include <QColor>
#include <QKeySequence>
#include <QLabel>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>

class QAbstractButton;
class QCloseEvent;
class QFrame;
class QHBoxLayout;
class QPushButton;
class QShortcut;
class QVBoxLayout;
class QWidget;

// Common-code lookups and the helpers that give every form the same look and
// keyboard behaviour. The lookups run on the given connection (the program's
// shared one); a closed connection is opened first.
namespace kelo {

namespace db {
class StoredProc;
}

namespace controls {
class DateEdit;
class MaskedEdit;
class ValueLabel;
} // namespace controls

// What a save tells the write procedure of a row as its search read it: the row's texts by
// parameter name, or the row absent when it was added on the screen (no texts). The
// procedure then writes the row only while the database still holds them.
db::RowRead SearchedRow(const QStringList &params, const QStringList &texts);

// The words for a database that cannot be connected: too many users, or the engine's text
// after "데이터베이스와 연결할 수 없습니다.".
QString ConnectFailureMessage(const QString &engineText);
// Opens the connection a save writes on when it is closed; when it cannot be opened the
// user is told in those words (not as a failed save) and the save stops silently.
void OpenForSave(db::Connection &connection);
// One save on an open connection (OpenForSave first): begins a transaction unless one is
// open already (a caller's transaction is joined and its end left to its
// owner), runs the work and commits what it began. When the work throws, what it began is
// rolled back before the exception passes on, so that no lock outlives the save while the
// caller tells the user. owner marks the transaction as the saving screen's.
void SaveInTransaction(db::Connection &connection, const void *owner,
                       const std::function<void()> &work);
// A write procedure's call stamped with who writes from where (AU_EMP_NO and AU_IP, where
// the procedure takes them; by default the signed-in employee and this client's address).
void StampWrite(db::StoredProc &procedure);
void StampWrite(db::StoredProc &procedure, const QString &empNo, const QString &ip);
// Throws the refusal a write procedure answered in AERROR_MSG, if any.
void ThrowRefusal(const db::StoredProc &procedure);
// StampWrite, execute, ThrowRefusal.
void ExecuteWrite(db::StoredProc &procedure);
void ExecuteWrite(db::StoredProc &procedure, const QString &empNo, const QString &ip);

// DETAIL_NAME of a code, or empty text (no row, or any error). With the code " "
// (one blank) it is the set's title.
QString CodeName(db::Connection &connection, const QString &set, const QString &code,
                 bool onlyFlagged = false);

// ITEM1 .. ITEM15 and DETAIL_NAME of a code; all empty when absent.
struct CodeRowValues {
    QStringList items; // ITEM1 .. ITEM15
    QString detailName;
    QString item(int n) const { return items.value(n - 1); }
};
CodeRowValues CodeRow(db::Connection &connection, const QString &set, const QString &code);

// Runs a statement with the parameter "param" and shows its column "name" in the
// label (empty without a row). Errors reach the caller.
void SetLabelFromQuery(db::Connection &connection, QLabel *label, const QString &statement,
                       const QString &value);

// The database's weekday name of a date text, or empty.
QString DayNameDb(db::Connection &connection, const QString &date);

// The common look: help cursor on "도움말" buttons, grid selection and title
// colours, read-only grid columns light green.
void StyleForm(QWidget *form);

// The frame every form shares, built on the form with its 12-pixel "굴림" font: the main
// panel, a sunken rule and the 40-pixel button panel, whose row starts with a stretch so
// buttons added to it sit at the right. The parts go into the form's members.
void BuildFormFrame(QWidget *form, QVBoxLayout *&rows, QWidget *&panMain, QFrame *&bvlButtons,
                    QWidget *&panButtons, QHBoxLayout *&buttonRow);

// A function key of a form that runs a handler: context is the form's window (dialogs) or the
// form and its children (work screens, several of which share a window). A press that more
// than one shortcut of the context claims runs the handler too.
QShortcut *AddHotkey(QWidget *form, const QKeySequence &key, Qt::ShortcutContext context,
                     std::function<void()> handler);

// Stops silently (SilentStop) when the button is missing, hidden or disabled: a handler run
// by its function key does nothing the button could not do.
void RequireActive(const QWidget *button);

// The hourglass for the rest of a scope.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// The raised 40-pixel search panel put on top of a form's rows: its row starts with a
// stretch and ends with the search button "조회(F3)"; fields go in front of the stretch.
struct SearchPanel {
    QWidget *panel;
    QHBoxLayout *row;
    QPushButton *search;
};
SearchPanel BuildSearchPanel(QWidget *form, QVBoxLayout *rows);

// The business-date condition "* 영 업 일 자" at the front of a search row, set to the given
// date or, when it is empty, to yesterday.
struct SaleDateField {
    QLabel *label;
    controls::DateEdit *edit;
};
SaleDateField AddSaleDateField(QWidget *panel, QHBoxLayout *row, const QString &date = QString());

// The one builder of a panel's date or month field: a masked edit with the form's mask
// ("9999-99-99;0;" and its kin: the text is the digits without the dashes), fixed width, at
// most maxLength characters (0: as many as the mask has), digits typed in Latin input mode
// whatever the keyboard's language, centred when asked.
struct DateFieldForm {
    const char *mask = "9999-99-99;0;";
    int width = 90;
    int maxLength = 10;
    bool centred = false;
};
controls::MaskedEdit *DateField(QWidget *parent, const char *name, const DateFieldForm &form = {});

// The date condition of the list and report inquiries: a masked edit "!9999-!99-99;0; " of at
// most 10 characters whose text is the date's 8 digits, and the value label beside it that
// shows the date's weekday.
controls::MaskedEdit *EventDateEdit(QWidget *parent, const char *name);
controls::ValueLabel *WeekdayLabel(QWidget *parent, const char *name);

// The close protocol of a program screen. HostedCloseRequest: a screen that is a window of
// its own may close (true); one hosted in a tab refuses and asks the main window
// (WM_PROGRAMCLOSED) to remove the active tab with it. AnswerClose accepts the close event
// when the screen may close (a window then frees itself) and ignores it otherwise.
bool HostedCloseRequest(QWidget *screen);
void AnswerClose(QWidget *screen, QCloseEvent *event, bool mayClose);

// A form's push button: named, of fixed size, never pressed by Enter as the default.
QPushButton *FormButton(QWidget *parent, const char *name, const QString &caption,
                        QSize size = QSize(80, 25));

// A button drawn in bold in the given colour while it can be pressed; disabled, it greys out
// like every other button.
void EmphasizeButton(QAbstractButton *button, const QColor &color);

// Edit colouring of the library's input fields: yellow on entering; on leaving
// the window colour, or the button face when read-only.
void SetInputColor(QWidget *field, bool entering);

// Moves the focus to the first (forward) or last tab-stop sibling of the field,
// then ends the key's handling silently (throws SilentStop when a sibling took the focus).
void FocusFirstSibling(QWidget *form, QWidget *field, bool forward);

// Empties every input control up to five levels below the panel.
void ClearPanel(QWidget *form, QWidget *panel);

// Makes the input fields of a panel editable (enabled, tab stop, white) or not
// (disabled, out of the tab order, read-only, button face); speed buttons follow.
void SetPanelEditable(QWidget *form, QWidget *panel, bool editable);

} // namespace kelo
