#include "core/UinCatalogue.h"

#include "core/FolderUtilities.h"
#include "os/os.h"

QStringList uinsOnSide(const QString& sideFolder)
{
    QStringList uins;
    // The UIN is the file's name less its extension ".uin" (in any letter case). ICQ's own
    // files count whatever their marks.
    for (const QString& name :
         listMatchingFiles(sideFolder + QStringLiteral("UIN") + QLatin1Char(Os::PathSeparator) +
                               QStringLiteral("*.UIN"),
                           Os::HiddenFiles::Listed))
        uins << name.chopped(4);
    return uins;
}
