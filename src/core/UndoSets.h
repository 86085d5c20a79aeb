// The way back from a restore. Before a restore replaces files in the ICQ folder it keeps them
// in an undo set "<ICQ folder>/ZEB Undo/<YYYY-MM-DD HHMMSS>/", at their paths below the ICQ
// folder (a hard link where it can, which costs nothing); the set also lists what the restore
// adds, so that an undo takes that away again.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

inline const QString UndoFolderName = QStringLiteral("ZEB Undo");

class UndoSet
{
public:
    // icqFolder ends in a separator.
    UndoSet(const QString& icqFolder, const QDateTime& started);

    // Keeps what a copy of sourceFolder into the ICQ folder's componentFolder will replace, and
    // notes what it will add. Raises the runtime's error for a file it cannot keep.
    void prepare(const QString& sourceFolder, const QString& componentFolder);

    // Writes the list of additions; a set that holds nothing is removed again. Answers the
    // set's folder, or an empty text when there is none.
    QString close();

private:
    void keep(const QString& relativePath);

    QString m_icqFolder;
    QString m_folder;
    QStringList m_added; // relative to the ICQ folder, in the order they were found
    bool m_used = false;
};

// The undo sets of an ICQ folder, oldest first.
QStringList undoSets(const QString& icqFolder);

// Puts back the files the newest restore replaced, takes away what it added, and removes the
// set. Answers the set's folder, or an empty text when there is none; raises the runtime's
// error for a file it cannot put back.
QString undoNewestRestore(const QString& icqFolder);

// Removes the oldest undo sets beyond the newest `keep`.
void pruneUndoSets(const QString& icqFolder, int keep);
