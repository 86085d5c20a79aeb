// The way back from a restore. Before a restore changes the ICQ folder it records, in an undo set
// "<ICQ folder>/ZEB Undo/<YYYY-MM-DD HHMMSS>/", every file it will replace (kept below "files/",
// a hard link where it can, else a copy synced before it gets its name) and every file and folder
// it will add; the record ("ZEB record") reaches the disk before the copy starts, and after each
// component it notes each file as the copy left it. So an undo knows what the restore did, even
// when it was killed half-way, and what changed after it: a file changed since the restore is
// never destroyed.
#pragma once

#include "core/SetRecord.h"
#include "core/Text.h"
#include "os/os.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

inline const QString UndoFolderName = QStringLiteral("ZEB Undo");

class UndoSet
{
public:
    // icqFolder ends in a separator. Nothing is made until a component needs it.
    explicit UndoSet(const QString& icqFolder,
                     const QDateTime& now = QDateTime::currentDateTimeUtc());
    ~UndoSet();

    // Before the copy of a component into the ICQ folder's componentFolder, with the plan its
    // walk made: keeps what it will replace, notes what it will add and writes the record.
    // Raises the runtime's error when something cannot be kept or recorded; the component must
    // not be copied then.
    void prepare(const Os::CopyPlan& plan, const QString& componentFolder);

    // After the component's copy: records each of its files as the copy left it. Raises the
    // runtime's error when the record cannot be written.
    void componentCopied();

    // Ends the restore: what it did not change is dropped from the set, and a set left with
    // nothing is removed. Answers the set's folder, or an empty text when there is none.
    QString close();

    // The set's folder, or an empty text while none was made.
    QString folder() const;

    struct Entry;

private:
    void makeSet();
    void writeRecord(bool finished);
    void keepEntries(std::size_t from);

    QString m_icqFolder;
    QDateTime m_now;
    std::string m_icq; // the ICQ folder as the OS layer takes it, with its separator
    std::optional<MadeSet> m_set;
    std::vector<Entry> m_entries;
    std::size_t m_componentStart = 0;
    const Os::CopyPlan* m_plan = nullptr; // the component's, from prepare to componentCopied
};

// An undo set as its record tells.
struct UndoSetInfo
{
    QString name;
    QString folder; // with its trailing separator
    SetStamp stamp;
    bool finished = false; // the restore that made it ran to its end
    bool undone = false;   // undone already; kept only while it holds newer files
    bool holdsNewer =
        false; // files changed after the restore, kept aside by an undo that kept them
};

// The undo sets of an ICQ folder, oldest first by their records.
QList<UndoSetInfo> undoSets(const QString& icqFolder);
// Whether a restore into the ICQ folder is there to undo: a set not undone yet.
bool hasRestoreToUndo(const QString& icqFolder);

struct UndoOutcome
{
    QString set;           // the set undone, or an empty text when there was none to undo
    bool finished = false; // everything was put back and the set removed (or kept for newer files)
    // Files changed since the restore. Without keepNewer nothing was put back; with it each was
    // moved into newerFolder first, at its path below the ICQ folder.
    QStringList newer;
    QString newerFolder;
    QList<Text> failures; // what is left undone, "path: reason" each
    QList<Text> notes;    // folders the restore made that stay, holding files it did not add
    // A dry run's answer: what an undo would put back and what it would take away.
    QStringList putBack;
    QStringList removed;
};

// Undoes the newest restore not undone yet: puts back what it replaced, takes away what it added
// and removes its set, but only when everything in it was put back. A file changed since the
// restore stops the undo before anything is changed, unless keepNewer. Rerun after a failure, it
// goes on where it stopped. A dry run changes nothing and tells what an undo would do.
UndoOutcome undoNewestRestore(const QString& icqFolder, bool keepNewer = false,
                              bool dryRun = false);

// Removes the oldest undo sets beyond the newest `keep`, and what is left of undone ones, but
// never `spared` nor a set that holds newer files. Answers what could not be removed.
QList<Text> pruneUndoSets(const QString& icqFolder, int keep, const QString& spared = QString());

// Whether the relative path of a record (its names separated by "/") stays inside the ICQ folder
// and outside the undo folder: no "..", ".", empty, absolute or drive part.
bool isSafeRecordPath(const std::string& path);
