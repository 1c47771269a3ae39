#pragma once

// The layout of the F&B index reports on A4 landscape: the description (outlet and
// category) at the left, then column groups of figure cells, each group's heading over
// its columns' headings; a page per F&B division with its name on a black box; the
// rows of the outlets and of the division's total, with some columns on button-face
// blocks.

#include "framework/reportframe.h"
#include "report/definition.h"

#include <QString>
#include <vector>

namespace kelo::screens::fnb {

struct Column {
    QString field;
    QString heading;
    double width; // mm
    bool shaded = false;
};

struct ColumnGroup {
    QString heading;
    std::vector<Column> columns;
};

class Layout {
public:
    // The groups fill the page after the description, whose width is what is left;
    // the columns' headings in headingPoints.
    explicit Layout(std::vector<ColumnGroup> groups, double headingPoints = 6);

    double descriptionWidth() const { return m_description; }

    // "Description" and the two rows of headings in boxes.
    void addHeadings(report::Band &band) const;

    // The division: a black rule, its name in white bold on a black box, and the blocks
    // named QRLabel17.. over the shaded columns, which print no text.
    void addMaster(report::Band &band, report::DataSet &set, const QString &nameField) const;

    // The rows of a block (sub-detail of set, linked on MIS_UPJANG_GUBUN2 to the master's
    // DETAIL): the outlet's name (item nameItem, repeat-suppressed with last), the
    // category's name, the figures in 6 pt on the shaded blocks.
    void addRows(report::Band &band, report::DataSet &set, const QString &nameItem,
                 QString &last) const;

    // The display format on every numeric column (texts of "%" columns keep theirs).
    void setFormats(report::DataSet &set, const QString &format) const;

private:
    std::vector<ColumnGroup> m_groups;
    double m_description = 0;
    double m_headingPoints;
};

// A row of a block as it prints: the sub-total ('9') closes its block with a line.
void MarkSubTotal(report::BandPrint &bp, const report::DataSet &set);

} // namespace kelo::screens::fnb

namespace kelo::screens {

// What the F&B index reports share: a page per F&B division (cdsQuery, the master band
// DetailBand1), the outlet blocks (cdsList, QRSubDetail1) and the division's blocks
// (cdsSubSum, QRSubDetail2) under the column headings QRBand2, laid out by a column table.
class TfrmFnbBlocks : public TfrmZZP020 {
    Q_OBJECT
public:
    TfrmFnbBlocks(db::Connection &connection, const QString &programId, const QString &saleDate,
                  const QString &caption, const fnb::Layout &layout, const QString &listSql,
                  const QString &subSumSql, const QString &format);

    void openData() override;

    report::DataSet cdsList;
    report::DataSet cdsSubSum;
    report::Band &QRBand2;
    report::Band &DetailBand1;
    report::Band &QRSubDetail1;
    report::Band &QRSubDetail2;

    void QRSubDetail1BeforePrint(report::BandPrint &bp);
    void QRSubDetail2BeforePrint(report::BandPrint &bp);

private:
    QString m_lastName1, m_lastName2; // repeat suppression of the outlet names
};

} // namespace kelo::screens
