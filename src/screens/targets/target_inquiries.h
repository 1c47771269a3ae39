#pragma once

#include "screens/targets/target_inquiry.h"

#include <QPushButton>

namespace kelo::screens {

// Targets by department and outlet for a business date: day, month and year to date.
class TfrmSTS010 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTS010(db::Connection &connection, QWidget *parent = nullptr);
    void bbtExcelClick();
    void applyColumnWidths(int width) override;
    void handOver() override;
    QString printLocation() const override;
    QString printParams() const override;
    QString previewProgram() const override;

    QPushButton *bbtExcel;

protected:
    void setParameters() override;
};

// The day's targets against actual sales by department, with last year's figures.
class TfrmSTS020 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTS020(db::Connection &connection, QWidget *parent = nullptr);
    void applyColumnWidths(int width) override;
    void handOver() override;
    QString printLocation() const override;
    QString printParams() const override;
    QString previewProgram() const override;

protected:
    void setParameters() override;
};

// Targets per outlet for a business date, as a list to work on (never saved).
class TfrmSTS030 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTS030(db::Connection &connection, QWidget *parent = nullptr);

protected:
    void setParameters() override;
};

// Section targets per section and outlet for a business date, as a list to work on.
class TfrmSTS050 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTS050(db::Connection &connection, QWidget *parent = nullptr);

protected:
    void setParameters() override;
};

// Targets by management section for a business date: the day, the whole month and the
// whole year.
class TfrmSTS040 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTS040(db::Connection &connection, QWidget *parent = nullptr);
    void handOver() override;
    bool printHandsOver() const override { return false; }
    QString printLocation() const override;
    QString printParams() const override;
    QString previewProgram() const override;

protected:
    void setParameters() override;
};

// Targets by department for a business date.
class TfrmSTS060 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTS060(db::Connection &connection, QWidget *parent = nullptr);
    void applyColumnWidths(int width) override;
    void handOver() override;
    QString printLocation() const override;
    QString printParams() const override;
    QString previewProgram() const override;

protected:
    void setParameters() override;
};

// Targets against actual sales by department for a period (STS070), and by outlet (STS080).
class TfrmSTS070 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTS070(db::Connection &connection, QWidget *parent = nullptr);
    void handOver() override;
    QString printLocation() const override;
    QString printParams() const override;
    QString previewProgram() const override;

protected:
    TfrmSTS070(db::Connection &connection, const QString &name, CodeKind kind,
               const char *amountTitle, QWidget *parent);
    void setParameters() override;
};

class TfrmSTS080 : public TfrmSTS070 {
    Q_OBJECT
public:
    explicit TfrmSTS080(db::Connection &connection, QWidget *parent = nullptr);
    void handOver() override;
    QString printLocation() const override;
    QString printParams() const override;
    QString previewProgram() const override;

protected:
    void setParameters() override;
};

// Food, beverage and other sales by department and outlet for a period.
class TfrmSTS090 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTS090(db::Connection &connection, QWidget *parent = nullptr);
    void handOver() override;
    QString printLocation() const override;
    QString printParams() const override;
    QString previewProgram() const override;

protected:
    void setParameters() override;
};

} // namespace kelo::screens
