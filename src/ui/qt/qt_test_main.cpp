// Runs the window tests: all of them, or the one class named as the first
// argument (the rest of the arguments go to QTest).
#include <QApplication>
#include <QTest>
#include <cstdio>

#include "ui/qt/qt_test_registry.h"
#include "ui/qt/window_style.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // The design's own font size, so that the windows are laid out at exactly
    // 15 twips a pixel whatever font this machine's desktop has.
    QFont font = QApplication::font();
    font.setPixelSize(quillet::qt::kDesignFontPixels);
    QApplication::setFont(font);
    QStringList arguments = QApplication::arguments();
    const QString program = arguments.takeFirst();
    QString only;
    if (!arguments.isEmpty() && !arguments.first().startsWith('-')) only = arguments.takeFirst();
    arguments.prepend(program);

    int failures = 0;
    bool found = false;
    for (const auto& [name, make] : quillet::qt::testing::TestClasses()) {
        if (!only.isEmpty() && only != QString::fromStdString(name)) continue;
        found = true;
        const auto test = make();
        failures += QTest::qExec(test.get(), arguments);
    }
    if (!found) {
        std::fprintf(stderr, "No test class %s\n", only.toLocal8Bit().constData());
        return 1;
    }
    return failures;
}
