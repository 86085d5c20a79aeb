// One line per file of a component: what a run did with it (--verbose), or what it would do
// (--dry-run), in the words rsync's users read.
#pragma once

#include "cli/Console.h"
#include "os/os.h"

#include <QJsonArray>
#include <QString>

enum class FileListing {
    Planned, // what the walk decided: copy, replace, link, unchanged
    Done,    // what the copy did: copied, replaced, linked, unchanged, kept, failed, not reached
};

// Prints the lines (unless quiet) and adds {path, action, bytes} objects to json (when given).
// Paths are the component's folder and the file's path below it, as the target spells them.
void listFiles(Console& console, const Os::CopyPlan& plan, const QString& componentFolder,
               FileListing listing, bool quiet, QJsonArray* json);
