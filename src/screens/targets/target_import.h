#pragma once
// The import of daily targets from a spreadsheet.

#include "screens/targets/target_inquiry.h"

#include <QPushButton>

class QProgressBar;

namespace kelo::screens {

// The import of daily targets from a spreadsheet file into the grid (Search) and their
// insert into JH040MS (" 업데이트").
class TfrmSTI020 : public TfrmTargetInquiry {
    Q_OBJECT
public:
    explicit TfrmSTI020(db::Connection &connection, QWidget *parent = nullptr);
    ~TfrmSTI020() override;

    void bbtSearchClick() override;
    void btnSave1Click();
    void bbtSaveClick() override;
    void bbtPreviewClick() override;
    void applyColumnWidths(int width) override;
    // Empties the grid to one empty row, the sheet's name and the count.
    void ResetImport();
    // Reads the file into the grid; false (with the reason shown) when it cannot.
    bool ImportFile(const QString &path);

    QLabel *panName;
    QLabel *panCnt;
    QPushButton *btnSave1;
    QProgressBar *gauge;
    bool SheetLoaded = false;

    // What the last update did: rows stored, rows refused and the first reasons.
    struct UploadResult {
        int read = 0;
        int stored = 0;
        int refused = 0;
        QStringList reasons;
    };
    UploadResult lastUpload;

protected:
    void setParameters() override {}
    void resizeEvent(QResizeEvent *event) override;
};

} // namespace kelo::screens
