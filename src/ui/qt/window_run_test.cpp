#include <QEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <string>

#include "ui/qt/message_list.h"

#include "ui/activity_report.h"
#include "ui/qt/main_form.h"
#include "ui/qt/qt_front_end.h"
#include "ui/qt/qt_test_registry.h"
#include "ui/qt/syntax_form.h"
#include "ui/qt/window_run.h"
#include "ui/syntax.h"

namespace quillet::qt {

namespace {

QtFrontEnd& installed_windows() { return dynamic_cast<QtFrontEnd&>(front_end()); }

// How often a widget was drawn; for a label, also the text it last showed.
class PaintCounter final : public QObject {
public:
    int paints = 0;
    QString drawn_text;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (const auto* label = qobject_cast<QLabel*>(watched)) drawn_text = label->text();
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

class WindowRunTest : public QObject {
    Q_OBJECT
private slots:
    // A clean run ends at once with 0; a run with rows ends with 1 once the user
    // has closed the window.
    void theWindowWaitsForTheUserOnlyAfterRowsWereAdded() {
        for (const bool rows : {false, true}) {
            MainWindow model;
            bool shown = false;
            bool waited = false;
            const int status = RunWindows(
                [&] {
                    model.LayOutAtStartUp();
                    MainForm& form = installed_windows().Main();
                    shown = form.isVisible();
                    if (rows) model.AddMessage("Failed to copy Z:\\a to Z:\\b");
                    QTimer::singleShot(0, &form, [&] {
                        waited = form.isVisible();
                        form.close();
                    });
                    return rows;
                },
                model);
            QVERIFY(shown);
            QCOMPARE(waited, rows);
            QCOMPARE(status, rows ? 1 : 0);
        }
    }

    // The syntax window keeps the program alive until it closes: after a clean run
    // the main window is gone at once, after one with rows once the user closes it.
    void theSyntaxWindowKeepsTheProgramAliveUntilItCloses() {
        for (const bool rows : {false, true}) {
            MainWindow model;
            bool main_drawn = false;
            bool main_gone = false;
            bool syntax_stayed = false;
            const int status = RunWindows(
                [&] {
                    model.LayOutAtStartUp();
                    // Drawn before the program goes on: hidden soon after, it must
                    // not be left on the screen unpainted.
                    main_drawn = installed_windows().Main().windowHandle()->isExposed();
                    ShowSyntax();
                    if (rows) model.AddMessage("a row");
                    QtFrontEnd& windows = installed_windows();
                    QTimer::singleShot(0, [&] {
                        if (rows) windows.Main().close();
                        QTest::qWait(50);
                        main_gone = !windows.Main().isVisible() && !windows.is_loaded(kMainWindow);
                        syntax_stayed = windows.Syntax() != nullptr && windows.Syntax()->isVisible();
                        windows.Syntax()->close();
                    });
                    return rows;
                },
                model);
            QVERIFY(main_drawn && main_gone && syntax_stayed);
            QCOMPARE(status, rows ? 1 : 2);
        }
    }

    // A job shows each file and lets events run after it; drawing the window that
    // often would cost more than the copies. Activities and rows alike.
    void aJobOfManyFilesDrawsTheWindowNowAndThenNotForEachFile() {
        constexpr int kFiles = 2000;
        for (const bool rows : {false, true}) {
            MainWindow model;
            PaintCounter label;
            PaintCounter list;
            QString drawn_at_once;
            RunWindows(
                [&] {
                    model.LayOutAtStartUp();
                    MainForm& form = installed_windows().Main();
                    form.Label(MainLabel::lblDisplay).installEventFilter(&label);
                    form.Messages().viewport()->installEventFilter(&list);
                    for (int file = 0; file < kFiles; ++file) {
                        const std::string name = "Z:\\home\\ann\\f" + std::to_string(file);
                        if (rows) model.AddMessage("Failed to copy " + name);
                        model.SetLabelCaption(MainLabel::lblDisplay, "Copying\r\n" + name + "\r\nto\r\nZ:\\bak");
                        model.RefreshLabel(MainLabel::lblDisplay);
                        front_end().do_events();
                    }
                    // Before work that lets no events run, such as a compaction, the
                    // latest is drawn at once.
                    model.SetLabelCaption(MainLabel::lblDisplay, "Compacting\r\nZ:\\home\\ann\\last\r\nto");
                    front_end().draw_now();
                    drawn_at_once = label.drawn_text.split('\n').value(0);
                    QTimer::singleShot(0, &form, [&form] { form.close(); });
                    return rows;
                },
                model);
            const int paints = rows ? list.paints : label.paints;
            QVERIFY2(paints < kFiles / 10, qPrintable(QString::number(paints)));
            QCOMPARE(drawn_at_once, QString("Compacting"));
        }
    }

    // Also with the syntax window open, which keeps the program alive only once
    // the run is over.
    void closingTheMainWindowWhileJobsRunEndsTheProgramAtOnce() {
        for (const bool syntax : {false, true}) {
            MainWindow model;
            int ended_with = -1;
            RunWindows(
                [&] {
                    model.LayOutAtStartUp();
                    if (syntax) ShowSyntax();
                    QtFrontEnd& windows = installed_windows();
                    windows.end_at_once = [&ended_with](int status) { ended_with = status; };
                    // No row: the run did not finish, which is a failure all the same.
                    windows.Main().close();
                    if (syntax) QTimer::singleShot(0, [&windows] { windows.Syntax()->close(); });
                    return false;
                },
                model);
            QCOMPARE(ended_with, 1);
        }
    }
};

QUILLET_QT_TEST(WindowRunTest);

}  // namespace quillet::qt

#include "window_run_test.moc"
