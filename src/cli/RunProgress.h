// What zeb2000-cli shows while a run copies: the replace question, one status line per
// component on a terminal, and with --verbose each component's result and every file's. The
// one place that implements the core's RunObserver.
#pragma once

#include "cli/Console.h"
#include "core/BackupRun.h"

#include <QElapsedTimer>

class RunProgress final : public RunObserver
{
public:
    // Shows a status line only on a terminal, and never when quiet.
    RunProgress(Console& console, bool quiet, bool verbose);

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
    QString m_name;
    qint64 m_total = 0;
    QElapsedTimer m_clock;
    qint64 m_shown = 0;
};
