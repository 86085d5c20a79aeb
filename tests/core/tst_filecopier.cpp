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
        asked.clear();
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
        QVERIFY(copier->outcome().failures.empty());
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
        QTest::newRow("No") << A::No << 2 << QByteArray("older") << true;
        QTest::newRow("Cancel") << A::Cancel << 1 << QByteArray("older") << false;
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
            SampleInstallation::writeFile(path("dst/" + name), "older"); // not the same size
        }
        SampleInstallation::writeFile(path("src/fresh.dat"), "fresh");
        answers = {answer, answer};
        copier->setOverwrite(questions == 0);
        QCOMPARE(copier->perform(0), result);
        const auto read = [this](const char* name) {
            return SampleInstallation::readFile(path(name));
        };
        // fresh.dat comes first and stays copied even when a later question is cancelled.
        QCOMPARE(read("dst/one.dat") + read("dst/two.dat") + read("dst/fresh.dat"),
                 kept + kept + "fresh");
        QVERIFY(sink->reports.isEmpty());
        // In name order, as the lists show names.
        QCOMPARE(asked, QStringList({"one.dat", "two.dat"}).mid(0, questions));
    }

    // What could not be copied is in the outcome, not reported as an error; its description
    // names the side that failed, ten files at the most.
    void failuresAreDescribedWithTheirSide()
    {
        copier->setSource(path("nowhere"));
        QVERIFY(!copier->perform(0));
        QVERIFY(sink->reports.isEmpty());
#ifdef Q_OS_WIN
        QVERIFY(copier->outcome().failures.empty()); // the shell tells the user itself
#else
        QCOMPARE(describeCopyFailures(copier->outcome()),
                 QStringList{"Cannot read " + path("nowhere") + ": No such file or directory"});
#endif

        Os::CopyOutcome many;
        for (int i = 0; i < 12; ++i)
            many.failures.push_back({"/t/" + std::to_string(i), Os::CopySide::Target, "full"});
        const QStringList lines = describeCopyFailures(many);
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines[9], QStringLiteral("Cannot write /t/9: full"));
        QCOMPARE(lines[10], QStringLiteral("and 2 more"));
    }
};

QTEST_GUILESS_MAIN(FileCopierTest)
#include "tst_filecopier.moc"
