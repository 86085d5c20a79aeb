// What zeb2000-cli shows while a run copies: the replace question, one status line per
// component on a terminal, and with --verbose each component's result and every file's. The
// task's other questions are answered from the options, and the room on a terminal. The one
// place that implements the core's TaskObserver.
#pragma once

#include "cli/Console.h"
#include "core/Task.h"

#include <QElapsedTimer>

class RunProgress final : public TaskObserver
{
public:
    // Shows a status line only on a terminal, and never when quiet. `force` goes on while ICQ
    // runs, `makePath` makes a missing backup folder's whole path.
    RunProgress(Console& console, bool quiet, bool verbose, bool force = false,
                bool makePath = false);

    bool goOnWhileIcqRuns() override { return m_force; }
    bool goOnWithoutRoom(const QString& shortage) override;
    bool makeWholePath(const QString&) override { return m_makePath; }
    // The command line has no check before a restore: "check" is a command of its own.
    bool restoreUnchecked(const QString&, const BackupCheck&) override { return false; }

    Os::ReplaceAnswer askReplace(const QString& targetFile) override;
    void componentStarted(const Component& component, qint64 bytesToCopy) override;
    void componentProgress(qint64 bytesDone) override;
    void componentFinished(const ComponentResult& result) override;

    // The status line's text, as it is before being fitted to the terminal.
    static QString statusText(const QString& component, qint64 bytesDone, qint64 total,
                              qint64 milliseconds);

private:
    Console& m_console;
    bool m_showStatus;
    bool m_verbose;
    bool m_force;
    bool m_makePath;
    QString m_name;
    qint64 m_total = 0;
    QElapsedTimer m_clock;
    qint64 m_shown = 0;
};
