// Draws the program's windows in the states the README shows and saves each as
// a PNG: a run copying, a run that met failures, a message box counting down and
// the syntax window. scripts/screenshots runs it under an X server, stored under
// the program's own name so that the syntax names the program.

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "ui/activity_report.h"
#include "ui/busy.h"
#include "ui/display.h"
#include "ui/models/main_window.h"
#include "ui/msgbox.h"
#include "ui/qt/main_form.h"
#include "ui/qt/msgbox_form.h"
#include "ui/qt/qt_front_end.h"
#include "ui/qt/syntax_form.h"
#include "ui/qt/window_run.h"
#include "ui/syntax.h"
#include "ui/version.h"

namespace {

using namespace quillet;

const std::string kSource = "Z:\\home\\ann\\Data";
const std::string kSnapshot = "Z:\\backup\\Data\\2024-03-05   14.30";

// Lets the window system map, decorate and paint what was just shown.
void settle() {
    QEventLoop loop;
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
}

// The window as it is on the screen, with the frame the window manager gave it
// (waited for a while, as the manager takes its time).
bool save(QWidget& window, const QDir& folder, const QString& name) {
    for (int wait = 0; wait < 30 && window.frameGeometry() == window.geometry(); ++wait) settle();
    const QRect frame = window.frameGeometry();
    const QPixmap picture = window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    const QString path = folder.filePath(name);
    if (!picture.save(path, "PNG")) {
        std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void start_up() {
    lib_basDisplay::lib_SetWindowTitle(kProgramTitle, "", kMainWindow);
    frmMain.SetWindowHeight(frmMain.Height());
    frmMain.FitWindowToMessage(true, false);
    frmMain.MessagesInit();
}

void copying() {
    frmMain.SetWindowCaption("Copying...");
    ReportActivity("Copying\r\n" + kSource + "\\Reports\\Quarterly figures.xlsx\r\nto\r\n" + kSnapshot +
                   "\\Reports");
}

// Each failure follows the activity that met it, as in a real run.
void failures() {
    ReportActivity("Copying\r\n" + kSource + "\\Mail\\inbox.lock\r\nto\r\n" + kSnapshot + "\\Mail");
    AddMessageAndLog("Failed to copy " + kSource + "\\Mail\\inbox.lock to " + kSnapshot + "\\Mail\\inbox.lock");
    ReportActivity("Copying\r\n" + kSource + "\\Private\\diary.odt\r\nto\r\n" + kSnapshot + "\\Private");
    AddMessageAndLog("Failed to create dir " + kSnapshot + "\\Private");
    ReportActivity("Copying\r\n" + kSource + "\\Old\\notes.txt\r\nto\r\n" + kSnapshot);
    AddMessageAndLog("Duplicates:");
    AddMessageAndLog(kSnapshot + "\\notes.txt <-- " + kSource + "\\notes.txt");
    AddMessageAndLog(kSnapshot + "\\notes.txt <-- " + kSource + "\\Old\\notes.txt");
    frmMain.SetWindowCaption("");
    lib_basDisplay::lib_SetBusy(false);
    frmMain.SetLabelCaption(MainLabel::lblDisplay, "Errors encountered");
}

// A job that finds its destination drive missing, as its box counts down.
bool message_box(qt::QtFrontEnd& windows, const QDir& folder) {
    bool saved = false;
    QTimer::singleShot(1300, [&] {
        qt::MsgBoxForm* box = windows.OpenBox();
        if (box == nullptr) return;
        saved = save(*box, folder, "msgbox-countdown.png");
        box->PressOk();
    });
    lib_MsgBoxInfo("Destination drive D: not found", 30);
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    QApplication application(argc, argv);
    qt::SetUpApplication();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    qt::QtFrontEnd windows;
    const FrontEndScope installed(windows);
    bool saved = true;

    start_up();
    settle();
    saved &= message_box(windows, folder);

    copying();
    settle();
    saved &= save(windows.Main(), folder, "main-copying.png");

    failures();
    settle();
    saved &= save(windows.Main(), folder, "main-errors.png");

    windows.Main().hide();
    ShowSyntax();
    settle();
    saved &= save(*windows.Syntax(), folder, "syntax.png");
    return saved ? 0 : 1;
}
