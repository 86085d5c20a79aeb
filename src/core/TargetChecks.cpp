#include "core/TargetChecks.h"

#include "core/FolderUtilities.h"
#include "core/TaskReasons.h"
#include "os/os.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The path with links resolved as far as it exists, the rest appended as it stands, in the
// internal form with "/" and no trailing separator.
QString realPath(const QString& path)
{
    QString existing = QDir::cleanPath(QDir::fromNativeSeparators(path));
    QStringList missing;
    while (!QFileInfo::exists(existing)) {
        const int cut = existing.lastIndexOf(QLatin1Char('/'));
        if (cut <= 0 || QDir(existing).isRoot())
            break;
        missing.prepend(existing.mid(cut + 1));
        existing.truncate(cut);
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    QString result = canonical.isEmpty() ? existing : canonical;
    for (const QString& name : missing)
        result += (result.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/")) + name;
    return result;
}

// Whether `inner` is `outer` or lies below it; names compare without regard to case, as ICQ's
// folders are found.
bool isWithin(const QString& inner, const QString& outer)
{
    if (inner.compare(outer, Qt::CaseInsensitive) == 0)
        return true;
    const QString outerFolder = outer.endsWith(QLatin1Char('/')) ? outer : outer + u'/';
    return inner.startsWith(outerFolder, Qt::CaseInsensitive);
}

} // namespace

TargetCheck checkBackupTarget(const QString& backupFolder, const QString& icqFolder,
                              const QList<Component>& components)
{
    if (folderPathProblem(backupFolder, false) == FolderPathProblem::FileSystemRoot)
        return {TargetProblem::FileSystemRoot, QString()};
#ifdef Q_OS_WIN
    if (const std::string upTo = Os::blankOrDotName(toOsPath(backupFolder)); !upTo.empty())
        return {TargetProblem::NameEndsBadly,
                QDir::fromNativeSeparators(fromOsPath(upTo)).section(QLatin1Char('/'), -1)};
#endif
    const QString target = realPath(backupFolder);
    if (QDir(target).isRoot())
        return {TargetProblem::FileSystemRoot, QString()};
    const QString icq = realPath(icqFolder);
    if (target.compare(icq, Qt::CaseInsensitive) == 0)
        return {TargetProblem::InsideIcqData, icqFolder};
    for (const Component& component : components) {
        const QString folder = withTrailingSeparator(icqFolder) + component.folder;
        if (isWithin(target, realPath(folder)))
            return {TargetProblem::InsideIcqData, withTrailingSeparator(folder)};
    }
    return {};
}

Text targetRefusal(const TargetCheck& check, const QString& backupFolder)
{
    switch (check.problem) {
    case TargetProblem::None:
        break;
    case TargetProblem::FileSystemRoot:
        return Text("Task", TaskReason::FileSystemRoot).arg(backupFolder);
    case TargetProblem::NameEndsBadly:
        return Text("Task", TaskReason::NameEndsBadly)
            .arg(backupFolder)
            .arg(check.containingFolder);
    case TargetProblem::InsideIcqData:
        return Text("Task", TaskReason::InsideIcqData)
            .arg(backupFolder)
            .arg(check.containingFolder);
    }
    return {};
}

TargetCreation makeBackupFolder(const QString& backupFolder, bool wholePath, bool dryRun)
{
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(backupFolder));
    if (QFileInfo(folder).isDir())
        return TargetCreation::Existed;
    if (!wholePath && !QFileInfo(QFileInfo(folder).absolutePath()).isDir())
        return TargetCreation::ParentMissing;
    if (dryRun)
        return TargetCreation::Created;
    const bool made = wholePath ? QDir().mkpath(folder) : QDir().mkdir(folder);
    return made ? TargetCreation::Created : TargetCreation::Failed;
}
