#pragma once

#include "framework/inquiry.h"
#include "framework/lookupdialogs.h"

#include <QLabel>

namespace kelo::screens {

// SAS010 "부문별 매출현황": sales by division against last year.
class TfrmSAS010 : public TfrmSZS010 {
    Q_OBJECT
public:
    explicit TfrmSAS010(db::Connection &connection, QWidget *parent = nullptr);
    void rgrGridDblClick();
};

// SAS020 "목표대비 매출현황": sales against target, month and business year.
class TfrmSAS020 : public TfrmSZS010 {
    Q_OBJECT
public:
    explicit TfrmSAS020(db::Connection &connection, QWidget *parent = nullptr);
    void rgrGridDblClick();
};

// SAS030 "호텔 객실판매현황": room sales of one hotel by room type.
class TfrmSAS030 : public TfrmSZS010 {
    Q_OBJECT
public:
    TfrmSAS030(db::Connection &connection, const QString &upjangCode, QWidget *parent = nullptr);
    void bbtSearchClick() override;
    QString upjangCode() const { return m_upjang; }

private:
    QString m_upjang;
};

// SAS040 "골프장 매출현황": golf course by menu group and the golf outlets.
class TfrmSAS040 : public TfrmSZS010 {
    Q_OBJECT
public:
    explicit TfrmSAS040(db::Connection &connection, QWidget *parent = nullptr);
};

// SAS050 "스키장 매출현황": ski outlets by ticket kind.
class TfrmSAS050 : public TfrmSZS010 {
    Q_OBJECT
public:
    explicit TfrmSAS050(db::Connection &connection, QWidget *parent = nullptr);
};

// The sales hub "매출조회" with its seven views.
class TfrmSAS000 : public TfrmSZS000 {
    Q_OBJECT
public:
    explicit TfrmSAS000(db::Connection &connection, QWidget *parent = nullptr);
    void CreateSubScreens() override;
    QLabel *lblNetSvc;
};

// SAH010: the items of a hotel (1001, or 1002 with 1003 and the sauna 4053).
class TfrmSAH010 : public TfrmSZP000 {
    Q_OBJECT
public:
    TfrmSAH010(db::Connection &connection, const QString &upjangCode, const QString &saleDate,
               QWidget *parent = nullptr);
    void rgrGridDblClick() override;
};

// SAH020 "객실 - 고객유형별": room charges of a hotel by guest-type group.
class TfrmSAH020 : public TfrmSZP000 {
    Q_OBJECT
public:
    TfrmSAH020(db::Connection &connection, const QString &upjangCode, const QString &saleDate,
               QWidget *parent = nullptr);
};

// SAH030 "목표대비 매출현황 상세": one division's sub-divisions against target.
class TfrmSAH030 : public TfrmSZP000 {
    Q_OBJECT
public:
    TfrmSAH030(db::Connection &connection, const QString &division, const QString &saleDate,
               QWidget *parent = nullptr);
};

} // namespace kelo::screens
