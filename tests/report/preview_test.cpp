#include "common/appdir.h"
#include "report/pageview.h"
#include "report/paginator.h"
#include "report/preview.h"
#include "support/scripted_dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::report;

namespace {

// Three pages, each with its number as text.
Document ThreePages() {
    Document doc;
    doc.title = QStringLiteral("Preview");
    for (int i = 1; i <= 3; ++i) {
        Page page;
        Primitive text;
        text.rect = QRectF(20, 20, 50, 10);
        text.text = QString::number(i);
        page.items.push_back(text);
        doc.pages.push_back(page);
    }
    return doc;
}

QWidget *PageView(PreviewWindow &w) {
    return w.findChild<QScrollArea *>(QStringLiteral("scrPages"))->widget();
}

TEST(Preview, ExecWaitsForTheWindowToCloseWhileKeysTurnThePages) {
    PreviewWindow w(ThreePages());
    QStringList seen;
    auto note = [&] { seen << w.edtPage->text() + QStringLiteral(" ") + w.lblPage->text(); };
    bool visibleWhileWaiting = false;
    QTimer::singleShot(0, &w, [&] {
        visibleWhileWaiting = w.isVisible();
        if (!QTest::qWaitForWindowActive(&w))
            w.close(); // and the expectations below fail
        note();
        for (Qt::Key key : {Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_Home,
                            Qt::Key_End, Qt::Key_PageUp}) {
            QTest::keyClick(&w, key);
            note();
        }
        QTest::keyClick(&w, Qt::Key_Escape);
    });
    w.exec();
    EXPECT_TRUE(visibleWhileWaiting);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(seen, QStringList({"1 / 3", "2 / 3", "3 / 3", "3 / 3", "1 / 3", "3 / 3", "2 / 3"}));
    EXPECT_EQ(w.currentPage(), 1);
}

// The window opens with the page fitted to its width, in a portrait and a landscape
// document, without a press of "폭 맞춤".
TEST(Preview, OpensFittedToTheWidth) {
    for (double width : {210.0, 297.0}) {
        Document doc = ThreePages();
        for (Page &p : doc.pages) {
            p.width = width;
            p.height = 507 - width;
        }
        PreviewWindow w(doc);
        QTimer::singleShot(0, &w, [&] {
            if (QTest::qWaitForWindowExposed(&w))
                QTest::qWait(50); // what the window system still delivers
            w.close();
        });
        w.exec();
        auto *scroll = w.findChild<QScrollArea *>(QStringLiteral("scrPages"));
        SCOPED_TRACE(width);
        EXPECT_EQ(w.fit(), PreviewWindow::Fit::Width);
        // Within the room the stack's vertical scroll bar may take.
        EXPECT_LE(PageView(w)->width(), scroll->viewport()->width() - 2);
        EXPECT_GE(PageView(w)->width(), scroll->viewport()->width() - 6 -
                                            w.style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        EXPECT_GT(w.zoom(), 0.5);
    }
}

TEST(Preview, FittingAndZoomSizeThePage) {
    PreviewWindow w(ThreePages());
    w.resize(900, 700);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto *scroll = w.findChild<QScrollArea *>(QStringLiteral("scrPages"));
    const int gap = 2 * 12;

    w.bbtFitWidth->click();
    EXPECT_EQ(w.fit(), PreviewWindow::Fit::Width);
    EXPECT_LE(PageView(w)->width(), scroll->viewport()->width() - 2);

    w.bbtFitPage->click();
    // One page of the stack fills the height.
    const int pageHeight = static_cast<report::PageView *>(PageView(w))->pageRect(0).height();
    EXPECT_NEAR(pageHeight, scroll->viewport()->height() - gap - 4, 2);

    w.cboZoom->setCurrentIndex(w.cboZoom->findData(100));
    emit w.cboZoom->activated(w.cboZoom->currentIndex());
    EXPECT_EQ(w.fit(), PreviewWindow::Fit::None);
    EXPECT_NEAR(PageView(w)->width() - gap, 210 * w.logicalDpiX() / 25.4, 1);
    w.resize(1000, 800); // a fixed zoom stays when the window changes
    EXPECT_DOUBLE_EQ(w.zoom(), 1.0);
}

// The preview finds with the viewer's find bar: the page holding the text comes up.
TEST(Preview, CtrlFFindsTheTextAndShowsItsPage) {
    PreviewWindow w(ThreePages());
    w.resize(900, 700);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
    auto *find = w.findChild<QLineEdit *>(QStringLiteral("edtFind"));
    ASSERT_TRUE(find && find->isVisible());
    QTest::keyClicks(find, QStringLiteral("3"));
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("lblFind"))->text(), QStringLiteral("1 / 1건"));
    EXPECT_EQ(w.currentPage(), 2);
    QTest::keyClick(find, Qt::Key_Escape); // closes the bar, not the window
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(find->isVisible());
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
}

TEST(Preview, SaveAsPdfWritesTheDocumentToTheChosenFile) {
    test::ScriptedDialogsScope dialogs;
    QTemporaryDir dir;
    dialogs->answerFile(dir.filePath(QStringLiteral("copy")));
    PreviewWindow w(ThreePages());
    w.bbtSavePdf->click();
    EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'\n').toStdString();
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {dir.filePath(QStringLiteral("copy.pdf"))});
    ASSERT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))));
}

// The preview's Print asks first: cancelled, nothing is printed; else the pages and copies
// chosen go out (here into the report folder, the choice without a printer).
TEST(Preview, PrintPrintsWhatThePrintDialogChose) {
    QTemporaryDir dir;
    const QString appDir = AppDir();
    SetAppDir(dir.path());
    {
        QFile ini(dir.filePath(QStringLiteral("Kelo_S.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Report]\nPdfFolder=pdf\n");
    }
    const QDir folder(dir.filePath(QStringLiteral("pdf")));
    PrintChoice lastTwice;
    lastTwice.fromPage = 3;
    lastTwice.toPage = 3;
    lastTwice.copies = 2;
    {
        test::ScriptedDialogsScope dialogs;
        dialogs->answerPrint(std::nullopt);
        dialogs->answerPrint(lastTwice);
        PreviewWindow w(ThreePages());
        w.bbtPrint->click();
        EXPECT_TRUE(folder.entryList({QStringLiteral("*.pdf")}).isEmpty());
        w.bbtPrint->click();
        ASSERT_EQ(dialogs->printOffers().size(), 2u);
        EXPECT_EQ(dialogs->printOffers()[1].pageCount, 3);
        ASSERT_EQ(dialogs->messages().size(), 1); // where the PDF went
    }
    SetAppDir(appDir);
    const QStringList pdfs = folder.entryList({QStringLiteral("*.pdf")});
    ASSERT_EQ(pdfs.size(), 1);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {folder.filePath(pdfs.front()), QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    // Page 3 twice: its number on each page, form feeds between them.
    EXPECT_EQ(QString::fromUtf8(text.readAllStandardOutput()).simplified(), QStringLiteral("3 3"));
}

} // namespace
