#pragma once

#include "db/connection.h"
#include "db/query.h"
#include "framework/screenhelpers.h"
#include "framework/statusbar.h"

#include <QFrame>
#include <QKeySequence>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QHBoxLayout;
class QVBoxLayout;
class QShortcut;

namespace kelo {

// The work screen every program screen derives from: a work area, a bottom
// button bar with the close button, a four-panel status bar (program ID,
// message, user, role), the screen's query on the shared connection, the
// answer to the main window's resize message and the close protocol.
class TfrmZZI000 : public QWidget {
    Q_OBJECT
public:
    // name: the component name, "frm" + program ID ("frmSAS010").
    TfrmZZI000(db::Connection &connection, const QString &name, QWidget *parent = nullptr);
    ~TfrmZZI000() override;

    db::Connection &connection() const { return m_connection; }
    // The program ID shown in panel 0: the component name from its fourth character on.
    QString programId() const;

    void ShowStatusMessage(const QString &text);
    // True when the screen is hosted (in a tab of the main window or a hub), not a window of its
    // own.
    bool isHosted() const { return !isWindow(); }

    // Handlers.
    virtual void bbtCloseClick();

    // Shared focus colouring of plain edit fields (attach with attachEditColouring).
    void edtEnter(QWidget *field);
    void edtExit(QWidget *field);
    void attachEditColouring(QWidget *field);

    // True when closing would lose entries; closing then asks first. Default: none.
    virtual bool HasUnsavedChanges() { return false; }

    // Queries the close query closes; qryQuery is one of them.
    void registerQuery(db::Query *query);

    // Components.
    QWidget *panButtons;
    QWidget *panMain;
    QFrame *bvlButtons;
    PanelStatusBar *stbMessage;
    QPushButton *bbtClose;
    db::Query *qryQuery;
    QMenu *popHotkey;

protected:
    // A function key in the screen's context that runs a handler.
    QShortcut *addHotkey(const QKeySequence &key, std::function<void()> handler) {
        return AddHotkey(this, key, Qt::WidgetWithChildrenShortcut, std::move(handler));
    }

    void FormCreate();
    virtual void FormResize();
    virtual bool FormCloseQuery();

    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // The layout rows: derived screens insert panels above panMain.
    QVBoxLayout *m_rows;
    QHBoxLayout *m_buttonRow;

private:
    db::Connection &m_connection;
    QShortcut *m_closeKey = nullptr;
    std::unique_ptr<db::Query> m_query;
    std::vector<db::Query *> m_queries;
};

// The input work screen: a search panel on top, Save and Cancel, and the switch
// between search mode (conditions editable) and edit mode (work area editable).
class TfrmZZI010 : public TfrmZZI000 {
    Q_OBJECT
public:
    TfrmZZI010(db::Connection &connection, const QString &name, QWidget *parent = nullptr);

    void SetSearchMode(bool searching);
    void EnterEditMode();
    bool isSearchMode() const { return m_searching; }

    virtual void bbtSearchClick();
    virtual void bbtSaveClick();
    virtual void bbtCancelClick();

    QWidget *panSearch;
    QPushButton *bbtSearch;
    QPushButton *bbtSave;
    QPushButton *bbtCancel;

protected:
    QHBoxLayout *m_searchRow;

private:
    bool m_searching = true;
};

// True when the widget belongs to the work side of a screen: its parent is the
// work area or one of its ancestors up to the sixth level is, or its parent is
// the button bar.
bool IsWorkSide(const QWidget *widget, const QWidget *panMain, const QWidget *panButtons);

} // namespace kelo
