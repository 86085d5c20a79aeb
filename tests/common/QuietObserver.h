// A run's observer that gives one answer to every replace question and listens to nothing else.
#pragma once

#include "RecordingSink.h"

#include "core/BackupRun.h"

struct QuietObserver : RunObserver
{
    Os::ReplaceAnswer answer = Os::ReplaceAnswer::Yes;
    Os::ReplaceAnswer askReplace(const QString&) override { return answer; }
};

// Runs a plan: whether every component was copied without a report. Refusing, every replace
// question is answered No, as a run without a terminal does.
inline bool runQuietly(const RunPlan& plan, bool refuseReplacing = false)
{
    RecordingSink sink;
    QuietObserver observer;
    if (refuseReplacing)
        observer.answer = Os::ReplaceAnswer::No;
    bool copied = true;
    for (const ComponentResult& result : BackupRun(plan, sink, observer).execute())
        copied = copied && result.copied;
    return copied && sink.reports.isEmpty();
}
