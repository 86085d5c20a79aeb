#include "core/BackupSets.h"

#include "core/BackupManifest.h"
#include "core/ErrorObject.h"

#include <QDir>
#include <QRegularExpression>

QString backupSetName(const QDateTime& started)
{
    return started.toString(QStringLiteral("yyyy-MM-dd HHmm"));
}

QStringList backupSets(const QString& folder)
{
    static const QRegularExpression setName(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{4}$"));
    QStringList sets = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    sets = sets.filter(setName);
    // A link that looks like a set is not one of ours.
    sets.removeIf([&folder](const QString& name) {
        return QFileInfo(QDir(folder).filePath(name)).isSymLink();
    });
    return sets; // the names sort as the times they stand for
}

QStringList pruneBackupSets(const QString& folder, int keep)
{
    QStringList sets = backupSets(folder);
    QStringList removed;
    while (sets.size() > qMax(keep, 0)) {
        const QString oldest = sets.takeFirst();
        if (!QDir(QDir(folder).filePath(oldest)).removeRecursively())
            raiseError(ErrorNumber::PathFileAccessError,
                       QStringLiteral("The backup set %1 could not be removed.")
                           .arg(QDir::toNativeSeparators(QDir(folder).filePath(oldest))));
        removed << oldest;
    }
    return removed;
}

QString newestCompleteSet(const QString& folder)
{
    const QStringList sets = backupSets(folder);
    for (auto it = sets.crbegin(); it != sets.crend(); ++it)
        if (QFileInfo::exists(QDir(QDir(folder).filePath(*it)).filePath(ManifestFileName)))
            return *it;
    return QString();
}
