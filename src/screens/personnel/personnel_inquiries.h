#pragma once

#include "controls/edits.h"
#include "framework/inquiry.h"

#include <QLabel>
#include <QScrollArea>
#include <QTabWidget>

class QHBoxLayout;

namespace kelo::screens {

class TfrmSQS000;

// SQS010 "인원현황": headcount by department (three levels) and employee kind.
class TfrmSQS010 : public TfrmSZS020 {
    Q_OBJECT
public:
    TfrmSQS010(db::Connection &connection, TfrmSQS000 *hub);
};

// SQS020 "부서별 인원현황": headcount of a department's subtree, every sub-department listed.
class TfrmSQS020 : public TfrmSZS020 {
    Q_OBJECT
public:
    TfrmSQS020(db::Connection &connection, TfrmSQS000 *hub);
    void SelectDepartment(const QString &code);
    void bbtSearchClick() override;
    controls::ChoiceBox *cboDept;
    QLabel *wlbRName;

private:
    QStringList m_rNames;
};

// A work group of the organisation chart: its employees and their number.
class TfrmSQS031 : public QFrame {
    Q_OBJECT
public:
    TfrmSQS031(db::Connection &connection, QWidget *parent);
    // The employees in service of the department with the work code; errors reach the caller.
    void FillWorkGroup(const QString &deptCode, const QString &workCode);
    QLabel *panWorkCode;
    controls::Grid *rgrEmpList;

signals:
    void employeeChosen(const QString &empNo);

private:
    db::Connection &m_connection;
};

// SQS030 "부서별 조직현황": the work groups of a department side by side.
class TfrmSQS030 : public TfrmSZS030 {
    Q_OBJECT
public:
    TfrmSQS030(db::Connection &connection, TfrmSQS000 *hub);
    void SelectDepartment(const QString &code);
    void bbtSearchClick() override;
    QList<TfrmSQS031 *> workGroups() const;
    controls::ChoiceBox *cboDept;
    QLabel *wlbRName;
    QScrollArea *ScrollBox1;
    QWidget *groupArea;

private:
    TfrmSQS000 *m_hub;
    QStringList m_rNames;
};

// SQS040 "개별인사기록": the personnel card.
class TfrmSQS040 : public TfrmSZS030 {
    Q_OBJECT
public:
    explicit TfrmSQS040(db::Connection &connection);
    void ShowEmployee(const QString &empNo);
    void bbtSearchClick() override;
    void sbtSearchEmpNoClick();
    // Shows a JPEG photograph (the seventh byte 'J'); anything else leaves the picture empty.
    static QPixmap PhotoOf(const QByteArray &bytes);
    QString cardText(const QString &field) const;

    QLineEdit *wedEmpNo;
    QToolButton *sbtSearchEmpNo;
    QLabel *wlbEmpNo;
    QLabel *imgEmpPicture;
    QTabWidget *tabs;
    controls::Grid *grdFamily, *grdSchool, *grdCareer, *grdAward;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildSearch();
    QHBoxLayout *buildCard();
    void buildRecords(db::Connection &connection);

    std::map<QString, controls::ValueLabel *> m_card;
    std::vector<std::pair<controls::Grid *, std::unique_ptr<db::RowSet>>> m_tabs;
};

// The personnel hub "인사조회".
class TfrmSQS000 : public TfrmSZS000 {
    Q_OBJECT
public:
    explicit TfrmSQS000(db::Connection &connection, QWidget *parent = nullptr);
    void CreateSubScreens() override;
    void OpenDepartmentHeadcount(const QString &rCode);
    void OpenDepartmentChart(const QString &deptCode);
    void OpenEmployeeCard(const QString &empNo);

    TfrmSQS010 *sqs010 = nullptr;
    TfrmSQS020 *sqs020 = nullptr;
    TfrmSQS030 *sqs030 = nullptr;
    TfrmSQS040 *sqs040 = nullptr;
};

} // namespace kelo::screens
