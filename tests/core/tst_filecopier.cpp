// FileCopier's own part on real folders: the padded source, the replace question's answers, the
// report of what could not be copied and the procedure names of its failures. How folders are
// copied is tested on the OS layer (tests/os/test_copy_folder.cpp).
#include "RecordingSink.h"
#include "SampleInstallation.h"
#include "core/FileCopier.h"

#include <QTemporaryDir>
#include <QtTest>

#include <deque>

class FileCopierTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<RecordingSink> sink;
    std::unique_ptr<FileCopier> copier;
    std::deque<Os::ReplaceAnswer> answers;
    QStringList asked;
    QStringList reported;
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void init()
    {
        sink = std::make_unique<RecordingSink>();
        copier = std::make_unique<FileCopier>(*sink);
        copier->setSource(path("src"));
        copier->setTarget(path("dst"));
        copier->askReplace = [this](const QString& file) {
            asked << QFileInfo(file).fileName();
            const Os::ReplaceAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        };
        copier->reportError = [this](const QString& message) { reported << message; };
        asked.clear();
        reported.clear();
        QDir(path("dst")).removeRecursively();
    }

    // A handle too large for 32 bits fails inside perform, after the source has been padded:
    // the report names the procedure with the source and pattern that were handed on.
    void sourceIsPaddedWithOneSeparator()
    {
        const QString separator = QString(QLatin1Char(Os::PathSeparator));
        for (const auto& [source, padded] : std::initializer_list<std::pair<QString, QString>>{
                 {"/ICQ/DB", "/ICQ/DB" + separator}, {"/ICQ/DB/", "/ICQ/DB/"}, {"", separator}}) {
            sink->reports.clear();
            copier->setSource(source);
            QVERIFY(!copier->perform(qintptr(1) << 40));
            QCOMPARE(copier->source(), padded);
            QCOMPARE(sink->reports, QStringList{"6 FileCopier.Perform [" + padded + "*.*] -> [" +
                                                path("dst") + "]"});
        }
        QVERIFY(reported.isEmpty());
    }

    // Two files to replace and a new one, with the same answer to every question; none is asked
    // with Overwrite. On Windows the shell asks its own question, so only Overwrite runs there.
    void replaceQuestionFollowsEachAnswer_data()
    {
        QTest::addColumn<Os::ReplaceAnswer>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QByteArray>("kept");
        QTest::addColumn<bool>("result");
        using A = Os::ReplaceAnswer;
#ifndef Q_OS_WIN
        QTest::newRow("Yes") << A::Yes << 2 << QByteArray("new") << true;
        QTest::newRow("Yes to All") << A::YesToAll << 1 << QByteArray("new") << true;
        QTest::newRow("No") << A::No << 2 << QByteArray("old") << true;
        QTest::newRow("Cancel") << A::Cancel << 1 << QByteArray("old") << false;
#endif
        QTest::newRow("Overwrite: no question") << A::No << 0 << QByteArray("new") << true;
    }
    void replaceQuestionFollowsEachAnswer()
    {
        QFETCH(Os::ReplaceAnswer, answer);
        QFETCH(int, questions);
        QFETCH(QByteArray, kept);
        QFETCH(bool, result);
        for (const QString name : {"one.dat", "two.dat"}) {
            SampleInstallation::writeFile(path("src/" + name), "new");
            SampleInstallation::writeFile(path("dst/" + name), "old");
        }
        SampleInstallation::writeFile(path("src/fresh.dat"), "fresh");
        answers = {answer, answer};
        copier->setOverwrite(questions == 0);
        QCOMPARE(copier->perform(0), result);
        const auto read = [this](const char* name) {
            return SampleInstallation::readFile(path(name));
        };
        QCOMPARE(read("dst/one.dat") + read("dst/two.dat") + read("dst/fresh.dat"),
                 kept + kept + (result ? "fresh" : ""));
        QVERIFY(sink->reports.isEmpty());
        QCOMPARE(asked.size(), questions);
    }

    // What could not be copied is told to the front end, not reported as an error.
    void missingSourceIsReported()
    {
        copier->setSource(path("nowhere"));
        QVERIFY(!copier->perform(0));
#ifdef Q_OS_WIN
        QVERIFY(reported.isEmpty()); // the shell tells the user itself
#else
        QCOMPARE(reported.size(), 1);
        QVERIFY2(reported[0].startsWith("Cannot copy " + path("nowhere")), qPrintable(reported[0]));
#endif
        QVERIFY(sink->reports.isEmpty());
    }
};

QTEST_GUILESS_MAIN(FileCopierTest)
#include "tst_filecopier.moc"
