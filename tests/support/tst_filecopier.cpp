// FileCopier on real folders, with the scripted runtime answering its boxes.
#include "ScriptedRuntime.h"
#include "errors/ErrorSink.h"
#include "support/FileCopier.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

struct RecordingSink final : ErrorSink
{
    QList<QPair<ErrorObject, QString>> reports;
    void HandleErrorsGlobally(const ErrorObject& errErrorObject,
                              const QString& strSubProcedureName) override
    {
        reports.append({errErrorObject, strSubProcedureName});
    }
};

class Folders
{
public:
    QString path(const QString& relative = QString()) const
    {
        return relative.isEmpty() ? m_root.path() : m_root.filePath(relative);
    }
    void write(const QString& relative, const QByteArray& content) const
    {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray read(const QString& relative) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    bool exists(const QString& relative) const { return QFileInfo::exists(path(relative)); }

private:
    QTemporaryDir m_root;
};

const QString ReplacePrompt = QStringLiteral(
    "This folder already contains a file called '%1'.\n\nWould you like to replace the existing "
    "file?");

} // namespace

class FileCopierTest : public QObject
{
    Q_OBJECT

    ScriptedRuntime* runtime = nullptr;
    RecordingSink* sink = nullptr;
    FileCopier* copier = nullptr;

    void prepare(const QString& source, const QString& target, bool overwrite = false)
    {
        copier->setSource(source);
        copier->setTarget(target);
        copier->setOverwrite(overwrite);
    }

private slots:
    void init()
    {
        runtime = new ScriptedRuntime;
        sink = new RecordingSink;
        copier = new FileCopier(*runtime, *sink);
    }
    void cleanup()
    {
        delete copier;
        delete sink;
        delete runtime;
    }

    // ---- Properties and the padded source ----------------------------------------------

    // A handle too large for 32 bits fails inside Perform, after the source has been padded:
    // the report shows the source and pattern that were handed on.
    void sourceWithAndWithoutSeparatorGiveTheSamePattern_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("reported");
        QTest::newRow("plain") << "/ICQ/DB"
                               << "FileCopier.Perform [/ICQ/DB/*.*] -> [/backup/DB/]";
        QTest::newRow("padded") << "/ICQ/DB/"
                                << "FileCopier.Perform [/ICQ/DB/*.*] -> [/backup/DB/]";
        QTest::newRow("empty") << ""
                               << "FileCopier.Perform [/*.*] -> [/backup/DB/]";
    }

    void sourceWithAndWithoutSeparatorGiveTheSamePattern()
    {
        QFETCH(QString, source);
        QFETCH(QString, reported);
        prepare(source, "/backup/DB/");
        QVERIFY(!copier->Perform(qintptr(1) << 40));
        QCOMPARE(sink->reports.size(), 1);
        QCOMPARE(sink->reports[0].second, reported);
        QCOMPARE(sink->reports[0].first.number, 6);
        QCOMPARE(copier->Source(), reported.mid(20, reported.indexOf(u'*') - 20));
        QVERIFY(runtime->boxes.empty());
    }

    void sourceKeepsItsSeparatorAfterACopy()
    {
        Folders dir;
        dir.write("src/a.dat", "a");
        prepare(dir.path("src"), dir.path("dst"));
        QCOMPARE(copier->FileSpec(), QStringLiteral("*.*"));
        QVERIFY(copier->Perform(0));
        QCOMPARE(copier->Source(), dir.path("src") + "/");
        QCOMPARE(copier->Target(), dir.path("dst"));
    }

    // ---- Copying -----------------------------------------------------------------------

    void copiesNestedFoldersIntoAMissingTarget()
    {
        Folders dir;
        dir.write("icq/DB/a.dat", "alpha");
        dir.write("icq/DB/notes", "no dot");
        dir.write("icq/DB/sub/b.idx", "beta");
        dir.write("icq/DB/sub/deeper/c.dat", "gamma");
        prepare(dir.path("icq/DB"), dir.path("backup/2003/DB/"));
        QVERIFY(copier->Perform(0));
        QCOMPARE(dir.read("backup/2003/DB/a.dat"), QByteArray("alpha"));
        QCOMPARE(dir.read("backup/2003/DB/notes"), QByteArray("no dot"));
        QCOMPARE(dir.read("backup/2003/DB/sub/b.idx"), QByteArray("beta"));
        QCOMPARE(dir.read("backup/2003/DB/sub/deeper/c.dat"), QByteArray("gamma"));
        QVERIFY(runtime->boxes.empty());
        QVERIFY(sink->reports.isEmpty());
    }

    void fileSpecSelectsTheFilesToCopy()
    {
        Folders dir;
        dir.write("src/a.dat", "a");
        dir.write("src/B.DAT", "b");
        dir.write("src/c.idx", "c");
        prepare(dir.path("src"), dir.path("dst"));
        copier->setFileSpec("*.dat");
        QVERIFY(copier->Perform(0));
        QVERIFY(dir.exists("dst/a.dat"));
        QVERIFY(dir.exists("dst/B.DAT"));
        QVERIFY(!dir.exists("dst/c.idx"));
    }

    void overwriteReplacesWithoutAsking()
    {
        Folders dir;
        dir.write("src/a.dat", "new");
        dir.write("dst/a.dat", "old, and longer");
        prepare(dir.path("src"), dir.path("dst"), true);
        QVERIFY(copier->Perform(0));
        QCOMPARE(dir.read("dst/a.dat"), QByteArray("new"));
        QVERIFY(runtime->boxes.empty());
    }

    void replaceQuestionFollowsEachAnswer_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<bool>("result");
        QTest::newRow("Yes") << MsgAnswer::Yes << 2 << true << true;
        QTest::newRow("Yes to All") << MsgAnswer::YesToAll << 1 << true << true;
        QTest::newRow("No") << MsgAnswer::No << 2 << false << true;
        QTest::newRow("Cancel") << MsgAnswer::Cancel << 1 << false << false;
    }

    void replaceQuestionFollowsEachAnswer()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(int, questions);
        QFETCH(bool, replaced);
        QFETCH(bool, result);
        Folders dir;
        for (const QString name : {"one.dat", "two.dat"}) {
            dir.write("src/" + name, "new");
            dir.write("dst/" + name, "old");
        }
        dir.write("src/fresh.dat", "fresh");
        runtime->boxAnswers = {answer, answer};
        prepare(dir.path("src"), dir.path("dst"));

        QCOMPARE(copier->Perform(0), result);
        QCOMPARE(int(runtime->boxes.size()), questions);
        const ShownBox& box = runtime->boxes.front();
        QVERIFY(box.prompt == ReplacePrompt.arg("one.dat") ||
                box.prompt == ReplacePrompt.arg("two.dat"));
        QCOMPARE(box.buttons, MsgButtons::YesYesToAllNoCancel);
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        QCOMPARE(box.title, QStringLiteral("Confirm File Replace"));
        const QByteArray expected = replaced ? "new" : "old";
        QCOMPARE(dir.read("dst/one.dat"), expected);
        QCOMPARE(dir.read("dst/two.dat"), expected);
        if (result)
            QCOMPARE(dir.read("dst/fresh.dat"), QByteArray("fresh"));
        QVERIFY(sink->reports.isEmpty());
    }

    // ---- Failures ----------------------------------------------------------------------

    void missingSourceAnswersFalseWithAMessage()
    {
        Folders dir;
        prepare(dir.path("nowhere"), dir.path("dst"));
        QVERIFY(!copier->Perform(0));
        QCOMPARE(int(runtime->boxes.size()), 1);
        const ShownBox& box = runtime->boxes.front();
        QVERIFY2(box.prompt.startsWith("Cannot copy " + dir.path("nowhere")),
                 qPrintable(box.prompt));
        QCOMPARE(box.buttons, MsgButtons::OkOnly);
        QCOMPARE(box.icon, MsgIcon::Critical);
        QCOMPARE(box.title, QStringLiteral("Error Copying File or Folder"));
        QVERIFY(sink->reports.isEmpty());
    }

    void targetBelowAFileAnswersFalse()
    {
        Folders dir;
        dir.write("src/a.dat", "a");
        dir.write("backup", "a file, not a folder");
        prepare(dir.path("src"), dir.path("backup/DB"));
        QVERIFY(!copier->Perform(0));
        QCOMPARE(int(runtime->boxes.size()), 1);
        QVERIFY(runtime->boxes.front().prompt.contains("Not a directory"));
        QCOMPARE(dir.read("backup"), QByteArray("a file, not a folder"));
    }

    // The file size limit stops writes even for root, whom permissions do not stop.
    void targetThatRefusesTheWriteKeepsTheOldFileWhole()
    {
        Folders dir;
        dir.write("src/contacts.dat", QByteArray(200 * 1024, 'n'));
        dir.write("dst/contacts.dat", "the good old file");
        prepare(dir.path("src"), dir.path("dst"), true);

        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = 16 * 1024;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool copied = copier->Perform(0);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);

        QVERIFY(!copied);
        QCOMPARE(dir.read("dst/contacts.dat"), QByteArray("the good old file"));
        QCOMPARE(
            QDir(dir.path("dst")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"contacts.dat"});
        QCOMPARE(int(runtime->boxes.size()), 1);
        QVERIFY(runtime->boxes.front().prompt.contains("contacts.dat"));
    }

    void namesWithSpacesAndNonAsciiLetters()
    {
        Folders dir;
        const QString folder = QStringLiteral("ICQ Daten/Kontakte \u00DCbersicht");
        const QString file = QStringLiteral("Liste \u00E9t\u00E9 \u0416\u20AC.dat");
        dir.write(folder + "/" + file, "contacts");
        dir.write(folder + "/Unter ordner/\u00DF.idx", "index");
        prepare(dir.path(folder), dir.path(QStringLiteral("Sicherung \u00C4/DB")));
        QVERIFY(copier->Perform(0));
        QCOMPARE(dir.read(QStringLiteral("Sicherung \u00C4/DB/") + file), QByteArray("contacts"));
        QCOMPARE(dir.read(QStringLiteral("Sicherung \u00C4/DB/Unter ordner/\u00DF.idx")),
                 QByteArray("index"));
    }
};

QTEST_MAIN(FileCopierTest)
#include "tst_filecopier.moc"
