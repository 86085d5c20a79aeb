// zeb2000-cli's commands run in process on a sample Wine prefix, with buffers for its streams:
// the usage rules, every command and option, the JSON documents, the refused targets, the
// replace question, and the status line on a narrow terminal.
#include "SampleInstallation.h"
#include "cli/CommandLine.h"
#include "core/BackupSets.h"

#include <QBuffer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// A console on buffers: what the command printed, and what a user would type.
class BufferConsole
{
public:
    BufferConsole()
    {
        m_in.open(QIODevice::ReadOnly);
        m_out.open(QIODevice::WriteOnly);
        m_err.open(QIODevice::WriteOnly);
    }
    QByteArray typed;
    Console console{m_in, m_out, m_err};
    QString out() const { return QString::fromLocal8Bit(m_out.data()); }
    QString err() const { return QString::fromLocal8Bit(m_err.data()); }

private:
    QBuffer m_in{&typed};
    QBuffer m_out;
    QBuffer m_err;
};

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private:
    SampleInstallation* sample = nullptr;
    QString backupRoot;
    // The user's own folders, beside the sample: what a run records there is not ICQ's.
    std::unique_ptr<QTemporaryDir> user;
    const QByteArray path = qgetenv("PATH");

    // "@ICQ@", "@B@" and "@P@" stand for the sample's ICQ folder, a backup folder and its Wine
    // prefix.
    QString named(QString text) const
    {
        return text.replace("@ICQ@", sample->icqFolder())
            .replace("@B@", backupRoot)
            .replace("@P@", sample->prefix());
    }
    // Runs the words as zeb2000-cli would get them.
    int run(BufferConsole& console, const QStringList& words)
    {
        QStringList arguments{"zeb2000-cli"};
        for (const QString& word : words)
            arguments << named(word);
        return runCommandLine(arguments, console.console, sample->programFolder());
    }

private slots:
    void init()
    {
        sample = new SampleInstallation;
        qputenv("WINEPREFIX", sample->prefix().toLocal8Bit());
        qunsetenv("DISPLAY");
        sample->addComponent("Database", "NewDB", QByteArray(3000, 'd'));
        sample->addComponent("Contacts", "CL");
        sample->addUin(sample->icqFolder(), "12345.uin");
        backupRoot = sample->prefix() + "/backups";
        QDir().mkpath(backupRoot);
        // The user's settings, units and state in a folder of their own, and no user manager to
        // reach.
        user = std::make_unique<QTemporaryDir>();
        for (const char* name :
             {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"})
            qputenv(name, user->filePath(QLatin1String(name)).toLocal8Bit());
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    void cleanup()
    {
        delete sample;
        sample = nullptr;
        qputenv("PATH", path);
    }

    // One run after the steps before it ("no registry", "change" of CL/111.dat and a new
    // CL/new.dat in the ICQ folder, a "newer" CL/111.dat, a "broken" link there, "older records"
    // of the backup sets, a command that succeeds, or for the
    // run: its input or error a "terminal", and what is typed): its exit code, the texts its
    // standard output holds in their order (none: it is empty; one ending a line: its end), what
    // its error output holds (nothing: it is empty) and, where given, CL/111.dat in the ICQ folder
    // afterwards. A dry run or a refused target changes nothing.
    void commands_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("words");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QByteArray>("contacts");
        const QString restored = "backup --to @B@ --dated;change;"
                                 "restore --from @B@ --latest --overwrite";
        using L = QStringList;
        const auto row = [](const char* tag, const QString& before, const QString& words,
                            int exitCode, const L& out, const QString& err = {},
                            const QByteArray& contacts = {}) {
            QTest::newRow(tag) << before << words << exitCode << out << err << contacts;
        };
        // Bad usage: one error line and the pointer to the help, nothing on standard output.
        const auto bad = [&](const char* tag, const QString& words, const QString& error) {
            row(tag, "", words, ExitBadUsage, {}, error + "\nTry 'zeb2000-cli --help'.\n");
        };
        bad("no command", "", "no command given");
        bad("unknown command", "frobnicate", "unknown command 'frobnicate'");
        bad("option before the command", "--quiet backup", "not the option '--quiet'");
        bad("another command's option", "find --to x", "Unknown option 'to'.");
        bad("list --keep", "list --keep 2", "Unknown option 'keep'.");
        bad("undo --verbose", "undo -v", "Unknown option 'v'.");
        bad("backup without --to", "backup", "backup needs --to");
        bad("restore without --from", "restore", "needs --from");
        bad("--keep without --dated", "backup --to @B@ --keep 2", "goes with --dated");
        bad("--keep 0", "backup --to @B@ --dated --keep 0", "1 or more");
        bad("--keep two", "backup --to @B@ --dated --keep two", "1 or more");
        bad("quiet and verbose", "backup --to @B@ -q -v", "exclude each other");
        bad("list of both sides", "list --icq @ICQ@ --from @B@", "not both");
        bad("a stray argument", "backup --to @B@ now", "no argument 'now'");
        bad("--to without its folder", "backup --to", "Missing value after '--to'.");
        bad("schedule without a choice", "schedule", "one of --weekly, --off and --status");
        bad("schedule --status --to", "schedule --status --to @B@", "go with --weekly");
        // -V is the version wherever it stands; -v is never the version.
        row("-V", "", "-V", 0, {"zeb2000-cli 2.0.0\n"});
        row("--version", "", "--version", 0, {"zeb2000-cli 2.0.0\n"});
        row("-V after a command", "", "backup --to @B@ -V", 0, {"zeb2000-cli 2.0.0\n"});
        row("find", "", "find", 0, {"@ICQ@\n"});
        row("find without a registry", "no registry", "find", 4, {}, "Error opening key.");
        row("list", "", "list", 0,
            {"Components in @ICQ@:", "Database [NewDB]", "2.9 KiB", "12345"});
        row("list of a backup folder without components", "", "list --from @B@", 0,
            {"Components in", "UINs:"});
        row("list of a missing backup folder", "", "list --from @B@/missing", 1, {}, "@B@/missing");
        row("list of a folder without ICQ", "", "list --icq @B@", 4, {}, "@B@");
        // The rules are the core's (tst_targets); here that the command line applies them to
        // every component, not only those it copies, and how it tells a refusal.
        row("inside a component not copied", "", "backup --to @ICQ@CL/b --component NewDB", 2, {},
            "inside");
        row("the weekly backup into the ICQ folder", "", "schedule --weekly --to @ICQ@", 2, {},
            "inside");
        row("a missing parent", "", "backup --to @B@/usb/new", 1, {}, "may not be mounted");
        row("a missing parent with --mkpath", "", "backup --to @B@/usb/new --mkpath", 0,
            {"Backup into @B@/usb/new/"});
        // With the ICQ folder named, nothing asks the registry.
        row("--icq without a registry", "no registry", "backup --to @B@ --icq @ICQ@", 0,
            {"Backup into"});
        // What a backup says: the summary line by default, each component with -v, nothing
        // with -q.
        row("backup", "", "backup --to @B@", 0,
            {"Backup into @B@/ from @ICQ@: 2 of 2 components copied "
             "whole, 2 files (2.9 KiB) copied, 0 unchanged, 0 kept, in "});
        row("backup -v", "", "backup --to @B@ -v", 0,
            {"Contacts: done (1 files, 4 bytes copied; 0 unchanged)",
             "  copied      CL/111.dat (4 bytes)", "Database: done (1 files, 2.9 KiB copied",
             "  copied      NewDB/111.dat (2.9 KiB)", "Backup into"});
        row("backup --quiet", "", "backup --to @B@ --quiet", 0, {});
        // A dry run lists, file by file, what the run would do and the room it needs, and
        // changes nothing on either side: no folder, no set, no undo set.
        const QString twoBackups = "backup --to @B@/plain;backup --to @B@/sets --dated;change";
        row("backup -n", twoBackups, "backup --to @B@/plain -n", 0,
            {"  replace     CL/111.dat (7 bytes)", "  copy        CL/new.dat (3 bytes)",
             "  unchanged   NewDB/111.dat (2.9 KiB)", "Dry run: 2 files (10 bytes) to write"});
        row("backup --dry-run into a new folder", twoBackups, "backup --to @B@/new --dry-run", 0,
            {"  copy        NewDB/111.dat (2.9 KiB)", "Dry run: 3 files"});
        row("backup -n of a dated set", twoBackups, "backup --to @B@/sets --dated -n", 0,
            {"  copy        CL/111.dat (7 bytes)", "  link        NewDB/111.dat (2.9 KiB)",
             "Dry run: 2 files (10 bytes)"});
        row("restore -n", twoBackups, "restore --from @B@/plain -n", 0,
            {"  replace     CL/111.dat (4 bytes)", "  unchanged   NewDB/111.dat (2.9 KiB)",
             "Dry run: 1 files (4 bytes) to write"});
        // --json: one document on standard output that a JSON parser reads, with the exit code's
        // meaning; nothing else there.
        row("find --json", "", "find --json", 0, {"\"icqFolder\": \"@ICQ@\""});
        row("list --json", "", "list --json", 0, {"\"uins\": [", "\"12345\""});
        row("backup --json", "", "backup --to @B@ --json", 0, {"\"components\": [", "\"NewDB\""});
        row("backup --dated --json", "", "backup --to @B@ --dated --json", 0, {"\"set\": \"20"});
        row("backup -n --json", "", "backup --to @B@ -n --json", 0,
            {"\"components\": [", "\"action\": \"copy\"", "\"bytes\": 3000",
             "\"path\": \"NewDB/111.dat\""});
        // A backup's document counts what it copied and names what failed, with the side.
        // In the document's own indentation: the one failure, and none beside a copied component.
        const L failedBackup = {R"("copied": false,
            "failures": [
                {
                    "path": "@ICQ@CL/broken.dat",
                    "reason": "No such file or directory",
                    "side": "source"
                }
            ],)",
                                R"("bytes": 3000,
            "copied": true,
            "failures": [
            ],)"};
        row("a failed backup --json", "broken", "backup --to @B@ --json", 1, failedBackup,
            "Cannot read @ICQ@CL/broken.dat");
        // The replace question of a repeat backup: asked only where both input and error are a
        // terminal; without one the file is kept and the exit is 1; the end of input cancels.
        const QString again = "backup --to @B@ --component CL";
        const QString asked = again + ";change;terminal;error terminal;type ";
        const QString replaced = "2 files (10 bytes) copied, 0 unchanged, 0 kept";
        const QString kept = "1 files (3 bytes) copied, 0 unchanged, 1 kept";
        row("yes", asked + "y\n", again, 0, {replaced}, "Replace ");
        row("all", asked + "all\n", again, 0, {replaced}, "Replace ");
        row("no", asked + "n\n", again, 0, {kept}, "Replace ");
        row("an unknown word, then yes", asked + "maybe\ny\n", again, 0, {replaced}, "Replace ");
        row("end of input", asked, again, 1,
            {"0 of 1 components copied whole, 0 files (0 bytes) copied"}, "Replace ");
        row("input not a terminal, error one", again + ";change;error terminal;type y\n", again, 1,
            {kept}, "kept, not replaced: ");
        // A set holds the components it holds: --keep never removes the only set of a component,
        // and restore --latest takes each component from the newest complete set that holds it.
        // Records written before they listed their components are read by the folders in the set.
        for (const QString records : {"", ";older records"}) {
            const QString sets = "backup --to @B@ --dated" + records +
                                 ";newer;backup --to @B@ --dated --component CL --keep 1";
            row(qPrintable("--latest from two sets" + records), sets + ";change",
                "restore --from @B@ --latest --overwrite", 0,
                {"Restoring from the set ", "Restoring from the set "}, "", "newer");
            row(qPrintable("--keep after a whole set" + records), sets,
                "backup --to @B@ --dated --keep 1", 0,
                {"Removed the old set ", "Removed the old set "});
        }
        // A restore's undo set in its document; undo -n tells what undo would put back and
        // puts back nothing; a second undo has nothing left.
        row("restore --json", "backup --to @B@ --dated;change",
            "restore --from @B@ --latest --overwrite --json", 0, {"\"undoSet\": \""}, "",
            QByteArray("data"));
        row("undo -n", restored, "undo -n", 0, {"put back   @ICQ@CL/111.dat"});
        row("undo", restored, "undo", 0, {"Put back what the restore of "});
        row("undo again", restored + ";undo", "undo --icq @ICQ@", 1, {}, "no restore to undo");
        // The weekly backup where no user manager runs: the settings the units read, as the state
        // tells them with the last backup's line, and --off. Where the timer's link leads and
        // that --off leaves nothing behind are the core's, pinned by the window's test.
        const QString weekly = "no user manager;schedule --weekly --to @B@ --icq @ICQ@";
        row("schedule --weekly", "no user manager", "schedule --weekly --to @B@ --icq @ICQ@", 0,
            {"next login"});
        row("the weekly state", weekly + ";backup --scheduled --to @B@ --dated --quiet",
            "schedule --status --json", 0,
            {"\"backupFolder\": \"@B@\"", "\"icqFolder\": \"@P@/drive_c/ICQ\"",
             "\"lastBackup\": \"Last weekly backup: less than a day ago to @B@ (complete)\"",
             "\"weekly\": true", "\"winePrefix\": \"@P@\""});
        row("schedule --off", weekly + ";schedule --off", "schedule --status --json", 0,
            {"\"weekly\": false"});
    }
    void commands()
    {
        QFETCH(QString, before);
        QFETCH(QString, words);
        QFETCH(int, exitCode);
        QFETCH(QStringList, out);
        QFETCH(QString, err);
        QFETCH(QByteArray, contacts);
        BufferConsole console; // the run's; the steps before it have their own
        for (const QString& step : before.split(u';', Qt::SkipEmptyParts)) {
            BufferConsole earlier;
            if (step.startsWith("type "))
                console.typed = step.mid(5).toUtf8();
            else if (step.endsWith("terminal"))
                (step == "terminal" ? console.console.inputIsTerminal
                                    : console.console.errorIsTerminal) = true;
            else if (step == "no registry")
                sample->writeRegistry({});
            else if (step == "newer")
                SampleInstallation::writeFile(sample->icqFolder() + "CL/111.dat", "newer");
            else if (step == "older records") // written before they listed their components
                for (const BackupSet& set : backupSets(backupRoot)) {
                    QString record = QString::fromLatin1(
                        SampleInstallation::readFile(set.folder + "ZEB record"));
                    record.remove(QRegularExpression("component [^\n]*\n"));
                    SampleInstallation::writeFile(set.folder + "ZEB record", record.toLatin1());
                }
            else if (step == "no user manager") { // nor systemctl; the timer is installed
                const QString timer = qEnvironmentVariable("XDG_DATA_HOME") + "/systemd/user/";
                QVERIFY(QDir().mkpath(timer));
                QVERIFY(QFile::copy(QFINDTESTDATA("../../packaging/systemd/zeb2000-backup.timer"),
                                    timer + "zeb2000-backup.timer"));
                qputenv("PATH", sample->prefix().toLocal8Bit());
            } else if (step == "broken")
                QFile::link("/nonexistent/target", sample->icqFolder() + "CL/broken.dat");
            else if (step == "change") {
                SampleInstallation::writeFile(sample->icqFolder() + "CL/111.dat", "damaged");
                SampleInstallation::writeFile(sample->icqFolder() + "CL/new.dat", "new");
            } else
                QCOMPARE(run(earlier, step.split(u' ')), 0);
        }
        const QList<QByteArray> unchanged = SampleInstallation::snapshot(sample->prefix());
        QCOMPARE(run(console, words.split(u' ', Qt::SkipEmptyParts)), exitCode);
        if (exitCode == ExitBadUsage || words.contains(" -n") || words.contains("--dry-run"))
            QCOMPARE(SampleInstallation::snapshot(sample->prefix()), unchanged);
        qsizetype at = 0;
        for (const QString& text : out) {
            at = console.out().indexOf(named(text), at);
            QVERIFY2(at >= 0, qPrintable(text + u'\n' + console.out()));
            at += named(text).size();
        }
        QCOMPARE(console.out().isEmpty(), out.isEmpty());
        if (!out.isEmpty() && out.last().endsWith(u'\n')) // the end of the output
            QVERIFY2(console.out().endsWith(named(out.last())), qPrintable(console.out()));
        QVERIFY2(err.isEmpty() ? console.err().isEmpty() : console.err().contains(named(err)),
                 qPrintable(console.err()));
        if (err.endsWith("Try 'zeb2000-cli --help'.\n")) // after the one line naming the fault
            QVERIFY2(console.err().startsWith("zeb2000-cli: ") && console.err().count(u'\n') == 2,
                     qPrintable(console.err()));
        if (words.contains("--json")) {
            QJsonParseError error;
            const QJsonObject report =
                QJsonDocument::fromJson(console.out().toUtf8(), &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(console.out()));
            QCOMPARE(report.value("command").toString(), words.section(u' ', 0, 0));
            QCOMPARE(report.value("exitCode").toInt(-1), exitCode);
            QCOMPARE(report.value("meaning").toString() == "success", exitCode == 0);
        }
        if (!contacts.isNull())
            QCOMPARE(SampleInstallation::readFile(sample->icqFolder() + "CL/111.dat"), contacts);
    }

    // The program's help names every command; each command's help names each of its options,
    // every one of them defined.
    void help()
    {
        BufferConsole console;
        QCOMPARE(run(console, {"--help"}), int(ExitSuccess));
        for (const Command& command : commandTable()) {
            QVERIFY2(console.out().contains("  " + command.name + u' '), qPrintable(command.name));
            BufferConsole own;
            QCOMPARE(run(own, {command.name, "--help"}), int(ExitSuccess));
            QVERIFY(own.out().startsWith("Usage: zeb2000-cli " + command.name));
            for (const QString& option : command.options) {
                QVERIFY2(optionNames().contains(option), qPrintable(option));
                QVERIFY2(own.out().contains("--" + option),
                         qPrintable(command.name + u' ' + option));
            }
        }
    }

    // On a terminal narrower than the status line, every redraw fits in one line.
    void statusLineFitsTheTerminal_data()
    {
        QTest::addColumn<int>("columns");
        QTest::newRow("narrow") << 24;
        QTest::newRow("wide") << 200;
    }
    void statusLineFitsTheTerminal()
    {
        QFETCH(int, columns);
        BufferConsole console;
        console.console.errorIsTerminal = true;
        console.console.setColumns(columns);
        QCOMPARE(run(console, {"backup", "--to", "@B@"}), 0);
        const QStringList redraws = console.err().split('\r', Qt::SkipEmptyParts);
        QVERIFY(redraws.size() >= 2);
        bool sizeShown = false;
        for (QString redraw : redraws) {
            redraw.remove("\033[K").remove('\n');
            QVERIFY2(redraw.size() < columns, qPrintable(redraw));
            sizeShown = sizeShown || redraw.contains("of 2.9 KiB");
        }
        QCOMPARE(sizeShown, columns > 60);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
