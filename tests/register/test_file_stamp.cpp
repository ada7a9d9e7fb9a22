// The stamp a save compares before its rename: the same for the file it read, seen through
// the open file or through the path, and different after each change another copy of the
// program or another program can make, even one that keeps the size and the time.

#include "file_stamp.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <filesystem>
#include <system_error>

using pindel::winners::FileStamp;

namespace {

bool writeWithTime(const QString &path, const QByteArray &bytes, const QDateTime &when, QIODevice::OpenMode mode)
{
    QFile file(path);
    return file.open(mode) && file.write(bytes) == bytes.size() && file.flush()
        && file.setFileTime(when, QFileDevice::FileModificationTime);
}

} // namespace

class TestFileStamp : public QObject {
    Q_OBJECT
private slots:
    void change_data();
    void change();
};

void TestFileStamp::change_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("state");   // FileStamp::State of the path afterwards
    QTest::addColumn<bool>("same");   // whether it still passes for the file that was read
    const int present = int(FileStamp::State::Present), missing = int(FileStamp::State::Missing);
    QTest::newRow("untouched") << "none" << present << true;
    QTest::newRow("replaced by a file of the same size and time") << "replaced" << present << false;
    QTest::newRow("rewritten in place, same size, 1 ms later") << "rewritten" << present << false;
    QTest::newRow("a line added, the time put back") << "grown" << present << false;
    QTest::newRow("deleted") << "deleted" << missing << false;
    QTest::newRow("a folder in its place") << "folder" << present << false;
}

void TestFileStamp::change()
{
    QFETCH(QString, change);
    QFETCH(int, state);
    QFETCH(bool, same);
    QTemporaryDir dir;
    const QString path = dir.filePath("001MpTa.cms");
    const QDateTime when(QDate(2024, 3, 1), QTime(12, 0, 0, 250), Qt::UTC);
    QVERIFY(writeWithTime(path, "Ana\r\n", when, QIODevice::WriteOnly));

    FileStamp read;
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        read = pindel::winners::stampOfOpenFile(file);
    }
    QCOMPARE(read.state, FileStamp::State::Present);
    QCOMPARE(read.size, 5);
    QVERIFY(pindel::winners::stampOfPath(path) == read);

    if (change == "replaced") {
        const QString other = dir.filePath("other");
        QVERIFY(writeWithTime(other, "Eva\r\n", when, QIODevice::WriteOnly));
        std::error_code error;
        std::filesystem::rename(other.toStdWString(), path.toStdWString(), error);
        QVERIFY2(!error, error.message().c_str());
    } else if (change == "rewritten") {
        QVERIFY(writeWithTime(path, "Eva", when.addMSecs(1), QIODevice::ReadWrite));
    } else if (change == "grown") {
        QVERIFY(writeWithTime(path, "Luis\r\n", when, QIODevice::Append));
    } else if (change == "deleted") {
        QVERIFY(QFile::remove(path));
    } else if (change == "folder") {
        QVERIFY(QFile::remove(path) && QDir(dir.path()).mkdir("001MpTa.cms"));
    }
    const FileStamp now = pindel::winners::stampOfPath(path);
    QCOMPARE(int(now.state), state);
    QCOMPARE(now == read, same);
}

QTEST_GUILESS_MAIN(TestFileStamp)
#include "test_file_stamp.moc"
