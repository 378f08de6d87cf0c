#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "ui/input_box.h"
#include "ui/qt/qt_test_registry.h"
#include "ui/qt/started_window.h"

namespace quillet::qt {

namespace {

// What the input box showed before it was answered.
struct Asked {
    bool up = false;
    QString title;
    QString prompt;
    QString offered;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
};

// Answers the input box once it is up: types the answer over the offered text and
// presses Enter, or presses Esc when there is no answer.
void answer_when_asked(Asked& asked, std::optional<QString> answer) {
    QTimer::singleShot(0, [&asked, answer] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QLineEdit* field = dialog->findChild<QLineEdit*>();
        QVERIFY(field != nullptr);
        asked = Asked{true, dialog->windowTitle(), dialog->labelText(), field->text(), field->echoMode()};
        if (!answer) {
            QTest::keyClick(field, Qt::Key_Escape);
            return;
        }
        field->selectAll();
        QTest::keyClicks(field, *answer);
        QTest::keyClick(field, Qt::Key_Return);
    });
}

}  // namespace

class InputBoxTest : public QObject {
    Q_OBJECT
private slots:
    void answersComeBackFromABoxUnderTheProgramsTitleAndCancelGivesNothing() {
        testing::StartedWindow started;
        Asked asked;
        answer_when_asked(asked, QString("60"));
        QCOMPARE(InputBox("Override for /M", "Quillet", "15"), std::string("60"));
        QVERIFY(asked.up);
        QCOMPARE(asked.title, QString("Quillet"));
        QCOMPARE(asked.prompt, QString("Override for /M"));
        QCOMPARE(asked.offered, QString("15"));
        QCOMPARE(asked.echo, QLineEdit::Normal);

        answer_when_asked(asked, QString("s3cret"));
        QCOMPARE(InputBox("Password", "Quillet", "", true), std::string("s3cret"));
        QCOMPARE(asked.echo, QLineEdit::Password);

        answer_when_asked(asked, std::nullopt);
        QCOMPARE(InputBox("Comment (becomes part of backup dir name)", "Quillet", "kept"), std::string());
        QCOMPARE(asked.offered, QString("kept"));
    }
};

QUILLET_QT_TEST(InputBoxTest);

}  // namespace quillet::qt

#include "input_box_test.moc"
