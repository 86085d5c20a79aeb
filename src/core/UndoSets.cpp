#include "core/UndoSets.h"

#include "core/ErrorObject.h"
#include "core/FolderUtilities.h"
#include "os/os.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// What the restore added, one path below the ICQ folder a line.
const QString AddedListName = QStringLiteral("added by the restore.txt");

QString undoRoot(const QString& icqFolder)
{
    return withTrailingSeparator(icqFolder) + UndoFolderName + QLatin1Char(Os::PathSeparator);
}

fs::path osPath(const QString& path)
{
    return fs::path(toOsPath(path));
}

// Moves or copies a file with its bytes, mode and time. A rename costs nothing, and so does a
// hard link where the copy puts a new file in place of the old one (Linux); the Windows shell
// writes into the old file, which a link would share, so there the bytes are copied.
void transfer(const QString& from, const QString& to, bool move)
{
    QDir().mkpath(QFileInfo(to).path());
    std::error_code error;
    if (move)
        fs::rename(osPath(from), osPath(to), error);
#ifndef _WIN32
    else
        fs::create_hard_link(osPath(from), osPath(to), error);
#else
    else
        error = std::make_error_code(std::errc::operation_not_supported);
#endif
    if (!error)
        return;
    error.clear();
    fs::copy_file(osPath(from), osPath(to), fs::copy_options::overwrite_existing, error);
    if (!error)
        fs::last_write_time(osPath(to), fs::last_write_time(osPath(from)), error);
    if (!error && move)
        fs::remove(osPath(from), error);
    if (error)
        raiseError(ErrorNumber::PathFileAccessError,
                   QStringLiteral("%1 could not be kept in %2: %3")
                       .arg(from, to, QString::fromLocal8Bit(error.message())));
}

} // namespace

UndoSet::UndoSet(const QString& icqFolder, const QDateTime& started)
    : m_icqFolder(withTrailingSeparator(icqFolder))
{
    const QString stamp = started.toString(QStringLiteral("yyyy-MM-dd HHmmss"));
    m_folder = undoRoot(m_icqFolder) + stamp;
    // Two restores within a second each get a set of their own.
    for (int n = 2; QFileInfo::exists(m_folder); ++n)
        m_folder = undoRoot(m_icqFolder) + stamp + QStringLiteral("-%1").arg(n);
}

void UndoSet::prepare(const QString& sourceFolder, const QString& componentFolder)
{
    const QDir source(resolvedPath(sourceFolder));
    const QDir icq(m_icqFolder);
    QDirIterator entries(source.path(),
                         QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                         QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (entries.hasNext()) {
        entries.next();
        if (entries.fileName().startsWith(QLatin1String(".~zeb")))
            continue; // a temporary file of a copy, which no copy takes along
        // The ICQ folder's own spelling of the path, as the copier finds it.
        const QString target =
            resolvedPath(m_icqFolder + componentFolder + QLatin1Char(Os::PathSeparator) +
                         QDir::toNativeSeparators(source.relativeFilePath(entries.filePath())));
        const QString relative = QDir::toNativeSeparators(icq.relativeFilePath(target));
        const QFileInfo existing(target);
        if (!existing.exists())
            m_added << relative;
        else if (existing.isFile() && entries.fileInfo().isFile())
            keep(relative);
    }
}

void UndoSet::keep(const QString& relativePath)
{
    transfer(m_icqFolder + relativePath, m_folder + QLatin1Char(Os::PathSeparator) + relativePath,
             false);
    m_used = true;
}

QString UndoSet::close()
{
    if (!m_used && m_added.isEmpty())
        return QString();
    QDir().mkpath(m_folder);
    QFile list(m_folder + QLatin1Char(Os::PathSeparator) + AddedListName);
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        list.write((m_added.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0)
        raiseError(ErrorNumber::PathFileAccessError);
    return m_folder;
}

QStringList undoSets(const QString& icqFolder)
{
    static const QRegularExpression setName(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{6}(-\\d+)?$"));
    return QDir(undoRoot(icqFolder))
        .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)
        .filter(setName);
}

QString undoNewestRestore(const QString& icqFolder)
{
    const QStringList sets = undoSets(icqFolder);
    if (sets.isEmpty())
        return QString();
    const QString icq = withTrailingSeparator(icqFolder);
    const QString set = undoRoot(icq) + sets.last();
    const QDir setDir(set);

    // What the restore added goes, files first, then the folders it made, deepest first.
    QFile list(setDir.filePath(AddedListName));
    if (list.open(QIODevice::ReadOnly)) {
        QStringList added = QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'));
        list.close();
        std::reverse(added.begin(), added.end());
        for (const QString& relative : added) {
            if (relative.isEmpty())
                continue;
            const QFileInfo entry(icq + relative);
            if (entry.isDir() && !entry.isSymLink())
                QDir().rmdir(entry.filePath());
            else if (entry.exists() || entry.isSymLink())
                QFile::remove(entry.filePath());
        }
    }
    // What it replaced comes back.
    QDirIterator kept(set, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (kept.hasNext()) {
        kept.next();
        const QString relative = setDir.relativeFilePath(kept.filePath());
        if (relative != AddedListName)
            transfer(kept.filePath(), icq + QDir::toNativeSeparators(relative), true);
    }
    QDir(set).removeRecursively();
    QDir().rmdir(undoRoot(icq)); // only when no other set is left
    return QDir::toNativeSeparators(set);
}

void pruneUndoSets(const QString& icqFolder, int keep)
{
    QStringList sets = undoSets(icqFolder);
    while (sets.size() > qMax(keep, 0))
        QDir(undoRoot(icqFolder) + sets.takeFirst()).removeRecursively();
}
