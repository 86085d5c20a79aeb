// FileCopier's own part on real folders, with the scripted runtime answering its boxes: the
// padded source, the replace question, the error box and the procedure names of its reports.
// How folders are copied is tested on the OS layer (tests/os/test_copy_folder.cpp).
#include "RecordingSink.h"
#include "SampleInstallation.h"
#include "ScriptedRuntime.h"
#include "support/FileCopier.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// A box as one line: its title, buttons and icon, then its text.
QString shown(const ShownBox& box)
{
    return QString("%1 [%2 %3] %4")
        .arg(box.title)
        .arg(int(box.buttons))
        .arg(int(box.icon))
        .arg(box.prompt);
}

} // namespace

class FileCopierTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedRuntime> runtime;
    std::unique_ptr<RecordingSink> sink;
    std::unique_ptr<FileCopier> copier;
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void init()
    {
        runtime = std::make_unique<ScriptedRuntime>();
        sink = std::make_unique<RecordingSink>();
        copier = std::make_unique<FileCopier>(*runtime, *sink);
        copier->setSource(path("src"));
        copier->setTarget(path("dst"));
        QDir(path("dst")).removeRecursively();
    }

    // A handle too large for 32 bits fails inside Perform, after the source has been padded:
    // the report names the procedure with the source and pattern that were handed on.
    void sourceIsPaddedWithOneSeparator()
    {
        for (const auto& [source, padded] : std::initializer_list<std::pair<QString, QString>>{
                 {"/ICQ/DB", "/ICQ/DB/"}, {"/ICQ/DB/", "/ICQ/DB/"}, {"", "/"}}) {
            sink->reports.clear();
            copier->setSource(source);
            QVERIFY(!copier->Perform(qintptr(1) << 40));
            QCOMPARE(copier->Source(), padded);
            QCOMPARE(sink->reports, QStringList{"6 FileCopier.Perform [" + padded + "*.*] -> [" +
                                                path("dst") + "]"});
        }
        QVERIFY(runtime->boxes.empty());
    }

    // Two files to replace and a new one, with the same answer to every question; none is asked
    // with Overwrite.
    void replaceQuestionFollowsEachAnswer_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QByteArray>("kept");
        QTest::addColumn<bool>("result");
        QTest::newRow("Yes") << MsgAnswer::Yes << 2 << QByteArray("new") << true;
        QTest::newRow("Yes to All") << MsgAnswer::YesToAll << 1 << QByteArray("new") << true;
        QTest::newRow("No") << MsgAnswer::No << 2 << QByteArray("old") << true;
        QTest::newRow("Cancel") << MsgAnswer::Cancel << 1 << QByteArray("old") << false;
        QTest::newRow("Overwrite: no question") << MsgAnswer::No << 0 << QByteArray("new") << true;
    }
    void replaceQuestionFollowsEachAnswer()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(int, questions);
        QFETCH(QByteArray, kept);
        QFETCH(bool, result);
        for (const QString name : {"one.dat", "two.dat"}) {
            SampleInstallation::writeFile(path("src/" + name), "new");
            SampleInstallation::writeFile(path("dst/" + name), "old");
        }
        SampleInstallation::writeFile(path("src/fresh.dat"), "fresh");
        runtime->boxAnswers = {answer, answer};
        copier->setOverwrite(questions == 0);
        QCOMPARE(copier->Perform(0), result);
        const auto read = [this](const char* name) {
            return SampleInstallation::readFile(path(name));
        };
        QCOMPARE(read("dst/one.dat") + read("dst/two.dat") + read("dst/fresh.dat"),
                 kept + kept + (result ? "fresh" : ""));
        QVERIFY(sink->reports.isEmpty());
        QCOMPARE(int(runtime->boxes.size()), questions);
        for (const ShownBox& box : runtime->boxes) {
            const QString name = box.prompt.contains("one.dat") ? "one.dat" : "two.dat";
            QCOMPARE(shown(box), shown({"This folder already contains a file called '" + name +
                                            "'.\n\nWould you like to replace the existing file?",
                                        MsgButtons::YesYesToAllNoCancel, MsgIcon::Exclamation,
                                        "Confirm File Replace"}));
        }
    }

    // What could not be copied is told in an error box, not reported as an error.
    void missingSourceShowsAnErrorBox()
    {
        copier->setSource(path("nowhere"));
        QVERIFY(!copier->Perform(0));
        QCOMPARE(int(runtime->boxes.size()), 1);
        QCOMPARE(shown(runtime->boxes[0]).section(": ", 0, 0),
                 shown({"Cannot copy " + path("nowhere"), MsgButtons::OkOnly, MsgIcon::Critical,
                        "Error Copying File or Folder"}));
        QVERIFY(sink->reports.isEmpty());
    }
};

QTEST_MAIN(FileCopierTest)
#include "tst_filecopier.moc"
