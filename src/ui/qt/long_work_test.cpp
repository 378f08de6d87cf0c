// The window keeps answering while one long piece of work runs: a large file's
// copy, an archive of a large file.

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fcntl.h>

#include <algorithm>
#include <functional>
#include <random>

#include "files/copy_file.h"
#include "ui/qt/qt_test_registry.h"
#include "ui/qt/started_window.h"
#include "ui/user_side.h"
#include "zip/lib_basZip.h"

namespace quillet::qt {

namespace {

// A window that does not answer for this long looks hung to its user. On a machine
// busy with other work the events come late now and then, so a pause of up to a
// third of the work, and at most a second, passes too: a window the work keeps
// from answering pauses for all of it.
constexpr qint64 kLongestPauseMs = 200;
constexpr qint64 kLongestPauseWhenBusyMs = 1000;
constexpr qint64 kTickMs = 20;

struct Pauses {
    qint64 longest = 0;
    qint64 work = 0;  // how long the work took
    bool answered() const { return longest < std::clamp(work / 3, kLongestPauseMs, kLongestPauseWhenBusyMs); }
    QString failure() const { return QString("no event ran for %1 ms of %2 ms").arg(longest).arg(work); }
};

// Path text of a file in the folder.
std::string path_text(const QTemporaryDir& folder, const QString& name) {
    QString native = folder.filePath(name);
    return "Z:" + native.replace('/', '\\').toStdString();
}

// A file of zeros, made at once. Its room is taken (a file with holes would be
// copied as holes, in no time) but never written.
void make_file(const QTemporaryDir& folder, const QString& name, qint64 size) {
    QFile file(folder.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(::posix_fallocate(file.handle(), 0, size), 0);
}

// A file of pseudo-random words, which deflates about as much as real files do
// (zeros would pass through it a thousand times faster and rarely report
// progress). One mebibyte repeated: deflate looks back only 32 KiB.
void make_text_file(const QTemporaryDir& folder, const QString& name, qint64 megabytes) {
    std::minstd_rand random(7);
    QByteArray block;
    while (block.size() < (1 << 20)) block.append(char('a' + random() % 26)).append(random() % 6 ? "" : " ");
    block.truncate(1 << 20);
    QFile file(folder.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    for (qint64 i = 0; i < megabytes; ++i) QCOMPARE(file.write(block), qint64{block.size()});
}

// The longest time the event loop went without a timer tick while the work ran,
// from just before it to just after it.
Pauses pauses_during(const std::function<void()>& work) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    const auto tick = [&] {
        longest = std::max(longest, clock.elapsed() - last);
        last = clock.elapsed();
    };
    QTimer ticks;
    ticks.setInterval(kTickMs);
    QObject::connect(&ticks, &QTimer::timeout, tick);
    ticks.start();
    work();
    tick();
    return Pauses{longest, clock.elapsed()};
}

}  // namespace

class LongWorkTest : public QObject {
    Q_OBJECT
private slots:
    // Closing the window ends the run as soon as the copy lets it be heard.
    void aLargeFilesCopyLetsTheWindowAnswer() {
        QTemporaryDir folder;
        make_file(folder, "large", qint64{1} << 30);
        testing::StartedWindow started;
        int ended_with = -1;
        started.windows.end_at_once = [&ended_with](int status) { ended_with = status; };
        QTimer::singleShot(50, &started.form(), &QWidget::close);

        const Pauses pauses = pauses_during([&] {
            QVERIFY(lib_basFile::lib_CopyFile(FrontEndUserSide(), path_text(folder, "large"), path_text(folder, "copy"), true));
        });
        QCOMPARE(QFile(folder.filePath("copy")).size(), qint64{1} << 30);
        QVERIFY2(pauses.answered(), qPrintable(pauses.failure()));
        QCOMPARE(ended_with, 1);
    }

    // 72 MB are compressed as the archive is written; 16 MB on a thread of their
    // own, which the archive waits for.
    void archivingALargeFileLetsTheWindowAnswer() {
        for (const qint64 megabytes : {72, 16}) {
            QTemporaryDir folder;
            QVERIFY(QDir(folder.path()).mkdir("work"));
            make_text_file(folder, "work/large", megabytes);
            testing::StartedWindow started;

            const std::string work = path_text(folder, "work");
            zip32::ZPOPT options;
            options.szRootDir = work.c_str();
            options.fRecurse = 1;
            zip32::ZIPNAMES names;
            names.zipnames[0] = "*.*";
            const Pauses pauses = pauses_during([&] {
                QCOMPARE(lib_basZip::lib_ZipFiles(FrontEndUserSide(), options, path_text(folder, "large.zip"), names, 1, "", false), 0);
            });
            QVERIFY(QFile::exists(folder.filePath("large.zip")));
            QVERIFY2(pauses.answered(), qPrintable(QString("%1 MB: ").arg(megabytes) + pauses.failure()));
        }
    }
};

QUILLET_QT_TEST(LongWorkTest);

}  // namespace quillet::qt

#include "long_work_test.moc"
