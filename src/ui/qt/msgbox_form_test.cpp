#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ui/display.h"
#include "ui/msgbox.h"
#include "ui/qt/msgbox_form.h"
#include "ui/qt/printing.h"
#include "ui/qt/qt_test_registry.h"
#include "ui/qt/started_window.h"

namespace quillet::qt {

namespace {

// Runs `check` on the box once it is up, from inside its modal loop.
void when_the_box_is_up(QtFrontEnd& windows, std::function<void(MsgBoxForm&)> check) {
    QTimer::singleShot(0, [&windows, check] {
        QVERIFY(windows.OpenBox() != nullptr);
        check(*windows.OpenBox());
    });
}

}  // namespace

class MsgBoxFormTest : public QObject {
    Q_OBJECT
private slots:
    void theBoxGrowsWithItsLinesAndShowsTheIconOfItsKind() {
        MsgBoxWindow one_line("1   0Line one", "Quillet ");
        MsgBoxWindow two_lines("2   0Line one@Line two", "Quillet ");
        MsgBoxForm short_box(one_line, nullptr);
        MsgBoxForm tall_box(two_lines, nullptr);

        QCOMPARE(short_box.size(), QSize(477, 97));
        QCOMPARE(tall_box.height() - short_box.height(), 17);
        QCOMPARE(tall_box.PrintButton().y() - short_box.PrintButton().y(), 17);
        QVERIFY(tall_box.Message().isReadOnly());
        QVERIFY(!short_box.Icon(MsgBoxIcon::critical).isHidden() && short_box.Icon(MsgBoxIcon::information).isHidden());
        QVERIFY(!tall_box.Icon(MsgBoxIcon::exclamation).isHidden() && tall_box.Icon(MsgBoxIcon::critical).isHidden());
    }

    // Through the program's own call: modal, titled after the main window, closed
    // by its countdown.
    void aCountdownClosesTheBoxByItself() {
        testing::StartedWindow started;
        lib_basDisplay::lib_SetWindowTitle("Quillet", "", kMainWindow);
        bool seen = false;
        when_the_box_is_up(started.windows, [&seen](MsgBoxForm& box) {
            QCOMPARE(box.CountDownLabel().text(), QString("2"));
            QVERIFY(box.CountDownLabel().isVisible());
            QVERIFY(box.isModal());
            QCOMPARE(box.windowTitle(), QString("Quillet "));
            QVERIFY(box.OkButton().hasFocus() || box.focusWidget() == &box.OkButton());
            seen = true;
        });
        QElapsedTimer clock;
        clock.start();
        lib_MsgBoxInfo("Snapshot made", 2);
        QVERIFY(seen);
        QVERIFY(clock.elapsed() >= 1900);
        QVERIFY(started.windows.OpenBox() == nullptr);
    }

    void escStopsTheCountdownAndOnlyOkClosesTheBox() {
        testing::StartedWindow started;
        bool stayed = false;
        when_the_box_is_up(started.windows, [&stayed](MsgBoxForm& box) {
            QTest::keyClick(&box, Qt::Key_Escape);
            QVERIFY(!box.CountDownLabel().isVisible());
            QVERIFY(!box.Timer().isActive());
            QTest::qWait(1500);
            stayed = box.isVisible();
            QTest::mouseClick(&box.OkButton(), Qt::LeftButton);
        });
        lib_MsgBoxWarning("Look at this", 1);
        QVERIFY(stayed);
        QVERIFY(started.windows.OpenBox() == nullptr);
    }

    void printingPutsAnImageOfTheBoxOnThePage() {
        MsgBoxWindow model("1   0Printed@on paper", "Quillet ");
        MsgBoxForm box(model, nullptr);
        box.show();
        QTemporaryDir folder;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath("box.pdf"));
        QVERIFY(PrintImageOf(box, printer));
        QFile printed(folder.filePath("box.pdf"));
        QVERIFY(printed.open(QIODevice::ReadOnly));
        QVERIFY(printed.readAll().contains("/Subtype /Image"));
        QVERIFY(box.isVisible());
    }

    // The program's own warning box, over the box that was to be printed.
    void printingWithoutAPrinterSaysSo() {
        if (!QPrinterInfo::defaultPrinter().isNull()) QSKIP("this machine has a printer");
        testing::StartedWindow started;
        QString warned;
        when_the_box_is_up(started.windows, [&](MsgBoxForm& box) {
            when_the_box_is_up(started.windows, [&](MsgBoxForm& warning) {
                warned = warning.Message().toPlainText();
                QVERIFY(!warning.Icon(MsgBoxIcon::exclamation).isHidden());
                warning.PressOk();
            });
            QTest::mouseClick(&box.PrintButton(), Qt::LeftButton);
            QCOMPARE(started.windows.OpenBox(), &box);  // back to the box, still open
            box.PressOk();
        });
        lib_MsgBoxError("Failed to copy Z:\\a");
        QCOMPARE(warned, QString("This message was not printed: there is no printer to print it on."));
        QVERIFY(started.windows.OpenBox() == nullptr);
    }
};

QUILLET_QT_TEST(MsgBoxFormTest);

}  // namespace quillet::qt

#include "msgbox_form_test.moc"
