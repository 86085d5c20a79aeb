#include "cli/Commands.h"

#include "cli/Terminal.h"
#include "core/BackupRun.h"
#include "core/BackupSets.h"
#include "core/ComponentCatalogue.h"
#include "core/ErrorSink.h"
#include "core/FileCopier.h"
#include "core/FolderUtilities.h"
#include "core/IcqDiscovery.h"
#include "core/UinCatalogue.h"
#include "core/UndoSets.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <atomic>
#include <csignal>

namespace {

const QString Prefix = QStringLiteral("zeb2000-cli: ");

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1) + QStringLiteral(" MiB");
}

QString size(qint64 bytes)
{
    return bytes < 1024 * 1024
               ? QString::number(double(bytes) / 1024.0, 'f', 1) + QStringLiteral(" KiB")
               : megabytes(bytes);
}

QString nativeFolder(const QString& path)
{
    return withTrailingSeparator(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

// Failures the program did not expect: told, and the component they hit counts as failed.
class ConsoleSink final : public ErrorSink
{
public:
    void HandleErrorsGlobally(const ErrorObject& error, const QString& procedure) override
    {
        Terminal::printError(Prefix + QStringLiteral("error %1: %2 (in %3)")
                                          .arg(error.number)
                                          .arg(error.description, procedure));
    }
};

// Answers the replace question on a terminal, and keeps every file without one; shows the
// progress of a component on one line.
class ConsoleObserver final : public RunObserver
{
public:
    ConsoleObserver(bool quiet) : m_quiet(quiet || !Terminal::canShowProgress()) {}

    Os::ReplaceAnswer askReplace(const QString& targetFile) override
    {
        if (!Terminal::canAsk())
            return Os::ReplaceAnswer::No;
        for (;;) {
            const QString answer =
                Terminal::ask(QStringLiteral("Replace %1? [y]es, [a]ll, [n]o, [c]ancel: ")
                                  .arg(QDir::toNativeSeparators(targetFile)))
                    .trimmed()
                    .toLower();
            if (answer == QLatin1String("y") || answer == QLatin1String("yes"))
                return Os::ReplaceAnswer::Yes;
            if (answer == QLatin1String("a") || answer == QLatin1String("all"))
                return Os::ReplaceAnswer::YesToAll;
            if (answer == QLatin1String("n") || answer == QLatin1String("no"))
                return Os::ReplaceAnswer::No;
            if (answer.isEmpty() || answer == QLatin1String("c") ||
                answer == QLatin1String("cancel"))
                return Os::ReplaceAnswer::Cancel;
        }
    }
    void componentStarted(const Component& component, qint64 bytesToCopy) override
    {
        m_name = component.name;
        m_total = bytesToCopy;
        m_clock.start();
        m_shown = -1000;
        componentProgress(0);
    }
    void componentProgress(qint64 bytesDone) override
    {
        // A few times a second is enough for the eye.
        if (m_quiet || (m_clock.elapsed() - m_shown < 200 && bytesDone < m_total))
            return;
        m_shown = m_clock.elapsed();
        const int percent = m_total > 0 ? int(100 * bytesDone / m_total) : 100;
        const double seconds = qMax<qint64>(m_clock.elapsed(), 1) / 1000.0;
        Terminal::showStatus(QStringLiteral("%1: %2%, %3 of %4, %5/s")
                                 .arg(m_name)
                                 .arg(percent)
                                 .arg(megabytes(bytesDone), megabytes(m_total),
                                      megabytes(qint64(double(bytesDone) / seconds))));
    }
    void componentFinished(const ComponentResult& result) override
    {
        if (!m_quiet)
            Terminal::showStatus(QStringLiteral("%1: %2 (%3 files, %4 copied; %5 unchanged)")
                                     .arg(result.component.name, result.copied
                                                                     ? QStringLiteral("done")
                                                                     : QStringLiteral("FAILED"))
                                     .arg(result.outcome.filesCopied)
                                     .arg(megabytes(qint64(result.outcome.bytesCopied)))
                                     .arg(result.outcome.filesUnchanged));
        Terminal::endStatus();
    }

private:
    bool m_quiet;
    QString m_name;
    qint64 m_total = 0;
    QElapsedTimer m_clock;
    qint64 m_shown = 0;
};

// A run stops cleanly on SIGINT and SIGTERM: the file being written is dropped, the rest stays.
std::atomic<BackupRun*> stoppableRun{nullptr};
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void stopOnSignal(int signal)
{
    stopSignal = signal;
    if (BackupRun* run = stoppableRun.load())
        run->requestStop();
}

class StopOnSignals
{
public:
    explicit StopOnSignals(BackupRun& run)
    {
        stoppableRun = &run;
        m_interrupt = std::signal(SIGINT, stopOnSignal);
        m_terminate = std::signal(SIGTERM, stopOnSignal);
    }
    ~StopOnSignals()
    {
        std::signal(SIGINT, m_interrupt);
        std::signal(SIGTERM, m_terminate);
        stoppableRun = nullptr;
    }

private:
    void (*m_interrupt)(int);
    void (*m_terminate)(int);
};

// Goes on when the target has room, or when the user on a terminal says so.
bool enoughSpace(const RunPlan& plan)
{
    const SpaceEstimate space = estimateSpace(plan);
    if (space.fits())
        return true;
    const QString message =
        QStringLiteral("The %1 needs %2; %3 are free on %4.")
            .arg(plan.direction == Direction::Backup ? QStringLiteral("backup")
                                                     : QStringLiteral("restore"),
                 sizeText(space.needed), sizeText(space.available), space.targetFolder);
    if (Terminal::canAsk()) {
        const QString answer =
            Terminal::ask(message + QStringLiteral(" Go on all the same? [y]es, [n]o: "))
                .trimmed()
                .toLower();
        return answer == QLatin1String("y") || answer == QLatin1String("yes");
    }
    Terminal::printError(Prefix + message + QStringLiteral(" Nothing was copied."));
    return false;
}

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

// The ICQ folder of the invocation, with its trailing separator, or none (told) when there is
// no ICQ installation there.
std::optional<QString> findIcqFolder(const Invocation& invocation)
{
    QString folder;
    if (invocation.icqFolder.isEmpty()) {
        QString notice;
        folder = icqFolderFromRegistry([&notice](const QString& text) { notice = text; });
        if (!notice.isEmpty() || folder.isEmpty() || folder == NoRegistryValueText) {
            Terminal::printError(Prefix +
                                 (!notice.isEmpty()  ? notice
                                  : folder.isEmpty() ? QStringLiteral("ICQ's registry settings "
                                                                      "name no ICQ folder.")
                                                     : folder) +
                                 QStringLiteral(" Name the ICQ folder with --icq."));
            return std::nullopt;
        }
    } else {
        folder = nativeFolder(invocation.icqFolder);
    }
    folder = withTrailingSeparator(folder);
    bool installed = false;
    try {
        installed = !listMatchingFiles(folder + QStringLiteral("icq.exe")).isEmpty();
    } catch (const RuntimeError&) {
    }
    if (!installed) {
        Terminal::printError(Prefix +
                             QStringLiteral("no ICQ installation in %1 (no icq.exe)").arg(folder));
        return std::nullopt;
    }
    return folder;
}

// The components to copy: those offered on the source side, or the ones named.
std::optional<QList<Component>> chooseComponents(const Invocation& invocation,
                                                 const QString& sourceFolder)
{
    const QList<Component> offered = offeredComponents(programFolder(), sourceFolder);
    if (invocation.components.isEmpty())
        return offered;
    QList<Component> chosen;
    for (const QString& wanted : invocation.components) {
        const auto match = std::find_if(offered.begin(), offered.end(), [&](const Component& c) {
            return c.name.compare(wanted, Qt::CaseInsensitive) == 0 ||
                   c.folder.compare(QDir::toNativeSeparators(wanted), Qt::CaseInsensitive) == 0;
        });
        if (match == offered.end()) {
            Terminal::printError(Prefix + QStringLiteral("no component \"%1\" in %2; \"list\" "
                                                         "shows those there")
                                              .arg(wanted, sourceFolder));
            return std::nullopt;
        }
        if (!chosen.contains(*match))
            chosen << *match;
    }
    return chosen;
}

// Runs the plan and tells what failed; answers the exit code.
int runPlan(RunPlan plan, const Invocation& invocation)
{
    if (!invocation.force &&
        isIcqRunning([](const QString& text) { Terminal::printError(Prefix + text); })) {
        Terminal::printError(Prefix + QStringLiteral("ICQ is running; close it first, or go on "
                                                     "with --force."));
        return ExitIcqRunning;
    }
    if (plan.components.isEmpty()) {
        Terminal::printError(
            Prefix + QStringLiteral("there is nothing to copy in %1").arg(plan.sourceFolder()));
        return ExitSomethingFailed;
    }
    plan.overwrite = invocation.overwrite;
    plan.copyUnchanged = invocation.copyUnchanged;
    plan.verify = invocation.verify;
    if (!enoughSpace(plan))
        return ExitSomethingFailed;
    ConsoleSink sink;
    ConsoleObserver observer(invocation.quiet);
    BackupRun run(plan, sink, observer);
    QList<ComponentResult> results;
    {
        const StopOnSignals stopper(run);
        results = run.execute();
    }
    if (stopSignal != 0) {
        quint64 files = 0;
        QStringList whole;
        for (const ComponentResult& result : results) {
            files += result.outcome.filesCopied;
            if (result.copied)
                whole << result.component.entryText();
        }
        Terminal::printError(
            Prefix +
            QStringLiteral("stopped by %1: %2 files copied, the file being written dropped; "
                           "copied whole: %3")
                .arg(stopSignal == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM"))
                .arg(files)
                .arg(whole.isEmpty() ? QStringLiteral("no component")
                                     : whole.join(QStringLiteral(", "))));
        if (!run.undoFolder().isEmpty())
            Terminal::printError(Prefix + QStringLiteral("the files it replaced are kept in ") +
                                 run.undoFolder());
        return stopSignal == SIGINT ? ExitInterrupted : ExitTerminated;
    }
    int exitCode = ExitSuccess;
    for (const ComponentResult& result : results) {
        if (!result.copied) {
            exitCode = ExitSomethingFailed;
            Terminal::printError(Prefix + result.component.entryText() +
                                 QStringLiteral(" could not be copied"));
            for (const QString& line : describeCopyFailures(result.outcome, -1))
                Terminal::printError(QStringLiteral("  ") + line);
        }
        if (!result.outcome.kept.empty() && !Terminal::canAsk()) {
            exitCode = ExitSomethingFailed;
            for (const std::string& file : result.outcome.kept)
                Terminal::printError(Prefix + QStringLiteral("kept, not replaced: ") +
                                     fromOsPath(file));
        }
        if (result.outcome.attributesLost)
            Terminal::printError(Prefix + QStringLiteral("%1: the target's file system does not "
                                                         "keep the modes or times of some files")
                                              .arg(result.component.entryText()));
    }
    if (!run.undoFolder().isEmpty() && !invocation.quiet)
        Terminal::print(QStringLiteral("The previous files were kept in %1; \"zeb2000-cli undo\" "
                                       "puts them back.")
                            .arg(run.undoFolder()));
    return exitCode;
}

int find()
{
    Invocation fromRegistry;
    const std::optional<QString> folder = findIcqFolder(fromRegistry);
    if (!folder)
        return ExitIcqNotFound;
    Terminal::print(*folder);
    return ExitSuccess;
}

int list(const Invocation& invocation)
{
    QString side;
    if (!invocation.fromFolder.isEmpty()) {
        side = nativeFolder(invocation.fromFolder);
    } else {
        const std::optional<QString> icq = findIcqFolder(invocation);
        if (!icq)
            return ExitIcqNotFound;
        side = *icq;
    }
    if (pluginFiles(programFolder()).isEmpty()) {
        Terminal::printError(Prefix + QStringLiteral("no plugin files in ") + programFolder());
        return ExitSomethingFailed;
    }
    Terminal::print(QStringLiteral("Components in %1:").arg(side));
    for (const Component& component : offeredComponents(programFolder(), side))
        Terminal::print(QStringLiteral("  %1  %2")
                            .arg(component.entryText(), -40)
                            .arg(size(folderSize(side + component.folder))));
    Terminal::print(QStringLiteral("UINs:"));
    for (const QString& uin : uinsOnSide(side))
        Terminal::print(QStringLiteral("  ") + uin);
    if (invocation.fromFolder.isEmpty())
        return ExitSuccess;
    const QList<BackupSet> sets = backupSets(side);
    if (!sets.isEmpty())
        Terminal::print(QStringLiteral("Dated sets, oldest first:"));
    for (const BackupSet& set : sets)
        Terminal::print(
            QStringLiteral("  %1  made %2 UTC, number %3%4")
                .arg(set.name, set.stamp.madeUtc.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                .arg(set.stamp.sequence)
                .arg(set.complete ? QString() : QStringLiteral(", incomplete")));
    return ExitSuccess;
}

int backup(const Invocation& invocation)
{
    const std::optional<QString> icq = findIcqFolder(invocation);
    if (!icq)
        return ExitIcqNotFound;
    const std::optional<QList<Component>> components = chooseComponents(invocation, *icq);
    if (!components)
        return ExitBadUsage;
    const QString backupFolder = nativeFolder(invocation.toFolder);
    RunPlan plan;
    plan.direction = Direction::Backup;
    plan.icqFolder = *icq;
    plan.backupFolder = backupFolder;
    plan.components = *components;
    if (!invocation.dated)
        return runPlan(plan, invocation);
    // A dated set is complete only when everything was copied into it; old sets go only then,
    // and never the one just made.
    try {
        BackupSet set = beginBackupSet(backupFolder);
        plan.backupFolder = set.folder;
        const int exitCode = runPlan(plan, invocation);
        if (exitCode != ExitSuccess) {
            Terminal::printError(Prefix +
                                 QStringLiteral("the set %1 is incomplete").arg(set.folder));
            return exitCode;
        }
        markBackupSetComplete(set);
        if (invocation.keep > 0)
            for (const QString& removed : pruneBackupSets(backupFolder, invocation.keep, set.name))
                if (!invocation.quiet)
                    Terminal::print(QStringLiteral("Removed the old set ") + backupFolder +
                                    removed);
    } catch (const RuntimeError& failure) {
        Terminal::printError(Prefix + failure.error().description);
        return ExitSomethingFailed;
    }
    return ExitSuccess;
}

int restore(const Invocation& invocation)
{
    QString backupFolder = nativeFolder(invocation.fromFolder);
    if (invocation.latest) {
        const std::optional<BackupSet> set = newestCompleteBackupSet(backupFolder);
        if (!set) {
            Terminal::printError(Prefix + QStringLiteral("no complete dated backup set in ") +
                                 backupFolder);
            return ExitBadUsage;
        }
        backupFolder = set->folder;
        if (!invocation.quiet)
            Terminal::print(QStringLiteral("Restoring from the set %1 (made %2 UTC).")
                                .arg(set->folder, set->stamp.madeUtc.toString(
                                                      QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    }
    const std::optional<QString> icq = findIcqFolder(invocation);
    if (!icq)
        return ExitIcqNotFound;
    const std::optional<QList<Component>> components = chooseComponents(invocation, backupFolder);
    if (!components)
        return ExitBadUsage;
    RunPlan plan;
    plan.direction = Direction::Restore;
    plan.icqFolder = *icq;
    plan.backupFolder = backupFolder;
    plan.components = *components;
    return runPlan(plan, invocation);
}

int undo(const Invocation& invocation)
{
    const std::optional<QString> icq = findIcqFolder(invocation);
    if (!icq)
        return ExitIcqNotFound;
    if (!invocation.force && isIcqRunning([](const QString&) {})) {
        Terminal::printError(Prefix + QStringLiteral("ICQ is running; close it first, or go on "
                                                     "with --force."));
        return ExitIcqRunning;
    }
    const UndoOutcome undone = undoNewestRestore(*icq, invocation.force);
    for (const QString& note : undone.notes)
        Terminal::printError(Prefix + QStringLiteral("left in place: ") + note);
    if (undone.set.isEmpty()) {
        Terminal::printError(Prefix + QStringLiteral("there is no restore to undo in ") + *icq);
        return ExitSomethingFailed;
    }
    if (!undone.newer.isEmpty() && !invocation.force) {
        for (const QString& file : undone.newer)
            Terminal::printError(Prefix + QStringLiteral("changed since the restore: ") + file);
        Terminal::printError(Prefix +
                             QStringLiteral("nothing was put back. \"zeb2000-cli undo "
                                            "--force\" puts back all the same and keeps "
                                            "the changed files in ") +
                             undone.newerFolder);
        return ExitSomethingFailed;
    }
    for (const QString& file : undone.newer)
        Terminal::printError(Prefix + QStringLiteral("changed since the restore, kept in %1: %2")
                                          .arg(undone.newerFolder, file));
    if (!undone.finished) {
        for (const QString& failure : undone.failures)
            Terminal::printError(Prefix + QStringLiteral("not undone: ") + failure);
        Terminal::printError(Prefix + QStringLiteral("the undo of %1 stopped before it "
                                                     "finished. Run \"zeb2000-cli undo\" again "
                                                     "to finish it.")
                                          .arg(undone.set));
        return ExitSomethingFailed;
    }
    Terminal::print(QStringLiteral("Put back what the restore of %1 replaced.").arg(undone.set));
    return ExitSuccess;
}

} // namespace

int runCommand(const Invocation& invocation)
{
    if (invocation.command == QLatin1String("find"))
        return find();
    if (invocation.command == QLatin1String("list"))
        return list(invocation);
    if (invocation.command == QLatin1String("backup"))
        return backup(invocation);
    if (invocation.command == QLatin1String("undo"))
        return undo(invocation);
    return restore(invocation);
}
