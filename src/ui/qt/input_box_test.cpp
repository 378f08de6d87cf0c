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

// Answers the input box once it is up: types the answer over the offered text and
// presses Enter, or presses Esc when there is no answer. `asked` is what the box
// showed: its title, prompt, offered text, and whether the typing was hidden.
void answer_when_asked(QString& asked, std::optional<QString> answer) {
    QTimer::singleShot(0, [&asked, answer] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QLineEdit* field = dialog->findChild<QLineEdit*>();
        const bool hidden = field->echoMode() == QLineEdit::Password;
        asked = dialog->windowTitle() + "|" + dialog->labelText() + "|" + field->text() + (hidden ? "|hidden" : "");
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
        QString asked;
        answer_when_asked(asked, QString("60"));
        QCOMPARE(InputBox("Override for /M", "Quillet", "15"), std::string("60"));
        QCOMPARE(asked, QString("Quillet|Override for /M|15"));

        answer_when_asked(asked, QString("s3cret"));
        QCOMPARE(InputBox("Password", "Quillet", "", true), std::string("s3cret"));
        QCOMPARE(asked, QString("Quillet|Password||hidden"));

        answer_when_asked(asked, std::nullopt);
        QCOMPARE(InputBox("Comment", "Quillet", "kept"), std::string());
        QCOMPARE(asked, QString("Quillet|Comment|kept"));
    }
};

QUILLET_QT_TEST(InputBoxTest);

}  // namespace quillet::qt

#include "input_box_test.moc"
