#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "platform/platform.h"
#include "ui/busy.h"
#include "ui/display.h"
#include "ui/msgbox.h"
#include "ui/qt/about_form.h"
#include "ui/qt/qt_test_registry.h"
#include "ui/qt/started_window.h"
#include "ui/qt/syntax_form.h"
#include "ui/qt/syntax_label.h"
#include "ui/syntax.h"
#include "ui/version.h"

namespace quillet::qt {

class SyntaxAndAboutTest : public QObject {
    Q_OBJECT
private slots:
    void theSyntaxShowsInCourierWithoutWaiting() {
        testing::StartedWindow started;
        lib_basDisplay::lib_SetBusy(true);
        ShowSyntax();  // returns at once: the window does not block, and the pointer is normal
        QVERIFY(!lib_basDisplay::BusyState);
        SyntaxForm* syntax = started.windows.Syntax();
        QVERIFY(syntax != nullptr && syntax->isVisible());
        QVERIFY(lib_basDisplay::lib_FormIsLoaded(kSyntaxWindow));

        const QFont font = syntax->Message().font();
        QCOMPARE(font.family(), QString("Courier"));
        QVERIFY(syntax->Message().LineStep() * 25 <= syntax->Message().height());
        QCOMPARE(font.pixelSize(), 13);  // 9.75 points at 96 dots per inch

        const std::string name = ProgramNameForSyntax(platform::executable_name());
        QString expected = QString::fromStdString(SyntaxText(name));
        expected.replace("\r\n", "\n");
        QCOMPARE(syntax->Message().text(), expected);
        QCOMPARE(QString::fromStdString(MsgBoxRequest).replace("\r\n", "\n"), expected);
        const std::string title = SyntaxWindowTitle(VersionMajor(), VersionMinor(), VersionRevision()) + " ";
        QCOMPARE(syntax->windowTitle(), QString::fromStdString(title));
        QCOMPARE(syntax->size(), QSize(946, 365));
    }

    void theAboutWindowNamesTheVersionAndTheMaker() {
        AboutForm about;
        QCOMPARE(about.Version().text(),
                 QString("Quillet  Version %1.%2%3")
                     .arg(VersionMajor())
                     .arg(VersionMinor())
                     .arg(QString::fromStdString(RevisionLetter(VersionRevision()))));
        QVERIFY(about.Web().text().contains("href=\"https://www."));
        QVERIFY(about.Email().text().contains("href=\"mailto:"));
        QVERIFY(about.Web().openExternalLinks());
        about.show();
        QSignalSpy accepted(&about, &QDialog::accepted);
        QTest::mouseClick(&about.OkButton(), Qt::LeftButton);
        QCOMPARE(accepted.count(), 1);
        QVERIFY(!about.isVisible());
    }
};

QUILLET_QT_TEST(SyntaxAndAboutTest);

}  // namespace quillet::qt

#include "syntax_about_test.moc"
