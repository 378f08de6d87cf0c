#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QTest>

#include "ui/qt/copyright_picture.h"
#include "ui/qt/message_list.h"
#include "ui/qt/qt_test_registry.h"
#include "ui/qt/started_window.h"
#include "ui/qt/window_style.h"
#include "ui/display.h"

namespace quillet::qt {

namespace {

constexpr int kDesignHeightPixels = (1935 - 405) / 15;  // the client area below the title bar
constexpr int kNarrowestPixels = (4830 - 120) / 15;
constexpr int kRowPixels = 15;

// Receives what the desktop is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT
private slots:
    // At the design's font size and at the desktop's twice as large: every measure
    // scales. The list shows at its first row; the window grows for seven rows only.
    void theWindowIsPlacedAndSizedByTheModelAtTheDesktopsFontSize() {
        const QFont design = QApplication::font();
        for (const int scale : {1, 2}) {
            QFont font = design;
            font.setPixelSize(scale * kDesignFontPixels);
            QApplication::setFont(font);
            testing::StartedWindow started;
            MainForm& form = started.form();
            QVERIFY(form.isVisible() && !form.Messages().isVisible());
            QCOMPARE(form.size(), scale * QSize(kNarrowestPixels, kDesignHeightPixels));
            // The copyright strip fills the foot of the window.
            const QRect strip = form.findChild<QLabel*>("lblCopyrightBG")->geometry();
            QCOMPARE(strip, QRect(0, 83 * scale, 322 * scale, 19 * scale));
            started.model.AddMessage("one row");
            if (scale == 1) QCOMPARE(form.Messages().geometry(), QRect(0, 102, 315, kRowPixels));
            // Centred across and a quarter of the free height from the top.
            const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
            QCOMPARE(form.pos(), scale * QPoint((area.width() / scale - 322) / 2, (area.height() / scale - 144) / 4));
            for (int row = 2; row <= 9; ++row) started.model.AddMessage("row " + std::to_string(row));
            QCOMPARE(form.height(), scale * (kDesignHeightPixels + 7 * kRowPixels));
            QCOMPARE(form.Messages().height(), scale * 7 * kRowPixels);
            QCOMPARE(form.Messages().visualItemRect(form.Messages().topLevelItem(0)).height(), scale * kRowPixels);
        }
        QApplication::setFont(design);
    }

    void theWidthFitsALongActivity() {
        testing::StartedWindow started;
        MainForm& form = started.form();
        const std::string source = "Z:\\home\\ann\\Projects\\Yearly reports\\2024\\Final figures for the board.xlsx";
        started.model.SetLabelCaption(MainLabel::lblDisplay, "Copying\r\n" + source + "\r\nto\r\nZ:\\bak");
        started.model.FitWindowToMessage(false, false);

        const QLabel& display = form.Label(MainLabel::lblDisplay);
        const int text_pixels = QFontMetrics(display.font()).horizontalAdvance(QString::fromStdString(source));
        const int outer_twips = text_pixels * 15 + 500;
        QCOMPARE(form.width(), qRound((outer_twips - 120) / 15.0));
        QCOMPARE(display.text().count('\n'), 3);
        QVERIFY(display.height() >= 4 * QFontMetrics(display.font()).height());
    }

    // The end of a path is its file's name: that is what a long text keeps.
    void aTextWiderThanTheScreenShowsItsEndAndCopiesWhole() {
        testing::StartedWindow started;
        MainForm& form = started.form();
        const std::string folder = "Z:\\" + std::string(400, 'f') + "\\";
        started.model.AddMessage("Failed to copy " + folder + "budget.xlsx");
        started.model.AddMessage("second row");
        started.model.SetLabelCaption(MainLabel::lblDisplay, "Copying\r\n" + folder + "report.pdf\r\nto");
        started.model.FitWindowToMessage(false, false);

        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(form.frameGeometry().width() <= area.width());
        const QStringList shown = form.Label(MainLabel::lblDisplay).text().split('\n');
        QVERIFY(shown[1].endsWith("report.pdf"));
        QVERIFY(shown[1].startsWith(QChar(0x2026)));
        QCOMPARE(form.Messages().textElideMode(), Qt::ElideLeft);

        MessageList& list = form.Messages();
        list.topLevelItem(0)->setSelected(true);
        list.setFocus();
        QTest::keySequence(&list, QKeySequence::Copy);
        const QString first_row = QString::fromStdString("Failed to copy " + folder + "budget.xlsx");
        QCOMPARE(QGuiApplication::clipboard()->text(), first_row);
        list.CopyAll();
        QCOMPARE(QGuiApplication::clipboard()->text().split('\n').last(), QString("second row"));
    }

    void aResizeSnapsBackToTheModelsSize() {
        testing::StartedWindow started;
        MainForm& form = started.form();
        started.model.AddMessage("one row");
        const QSize kept = form.size();
        form.resize(kept + QSize(120, 80));
        QTRY_COMPARE(form.size(), kept);
    }

    void titlesTheBusyPointerAndShiftPassBetweenProgramAndWindowSystem() {
        testing::StartedWindow started;
        lib_basDisplay::lib_SetWindowTitle("Quillet", "", kMainWindow);
        QCOMPARE(started.form().windowTitle(), QString("Quillet "));

        started.windows.set_busy(true);
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        started.windows.set_busy(true);  // not stacked: one call puts it back
        started.windows.set_busy(false);
        QVERIFY(QGuiApplication::overrideCursor() == nullptr);

        QWindow* window = started.form().windowHandle();
        QTest::keyPress(window, Qt::Key_Shift, Qt::ShiftModifier);
        QVERIFY(started.windows.shift_held());
        QTest::keyRelease(window, Qt::Key_Shift, Qt::NoModifier);
        QVERIFY(!started.windows.shift_held());
    }

    void aClickOnTheCopyrightOpensTheMakersWebAddress() {
        testing::StartedWindow started;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        QTest::mouseClick(&started.form().Copyright(), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(catcher.opened, QList<QUrl>{CopyrightPicture::WebAddress()});
    }
};

QUILLET_QT_TEST(MainFormTest);

}  // namespace quillet::qt

#include "main_form_test.moc"
