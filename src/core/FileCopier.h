// Copies the contents of one folder into another in one call of the platform's folder copy.
// A run makes one object per component, sets its properties, calls perform() once and releases
// it. The replace question is answered by the front end through a callback; what could not be
// copied is in the outcome, for the front end to report once.
#pragma once

#include "os/os.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>

class ErrorSink;

class FileCopier
{
public:
    explicit FileCopier(ErrorSink& sink);

    // The source from where to copy.
    QString source() const { return m_source; }
    void setSource(const QString& source) { m_source = source; }

    // The target to copy to.
    QString target() const { return m_target; }
    void setTarget(const QString& target) { m_target = target; }

    // Whether an existing file is replaced without asking askReplace first.
    bool overwrite() const { return m_overwrite; }
    void setOverwrite(bool overwrite) { m_overwrite = overwrite; }

    // Whether files the target holds in the same size and time are copied all the same.
    bool copyUnchanged() const { return m_copyUnchanged; }
    void setCopyUnchanged(bool copyUnchanged) { m_copyUnchanged = copyUnchanged; }

    // Whether each file is read back and compared with its source.
    bool verify() const { return m_verify; }
    void setVerify(bool verify) { m_verify = verify; }

    // A restore: files of the same size and time are compared by content.
    void setCompareContent(bool compare) { m_compareContent = compare; }
    // An earlier copy of the source, whose unchanged files are hard-linked instead of copied.
    void setLinkFrom(const QString& folder) { m_linkFrom = folder; }

    // A flag that stops the copy as soon as it can, when set.
    void setStopFlag(const std::atomic<bool>* stop) { m_stop = stop; }

    // Asked before a file at the target is replaced, unless overwrite() is set.
    std::function<Os::ReplaceAnswer(const QString& targetFile)> askReplace;
    // Told of the bytes done since the last call.
    std::function<void(qint64 bytes)> onProgress;

    // Walks the source and the target into a plan, which perform() then carries out; the files
    // of the plan learn what was done with them.
    void walk(Os::CopyPlan& plan);
    // Takes up a plan walked before.
    void setPlan(Os::CopyPlan* plan) { m_plan = plan; }

    // Copies; true when everything was copied (or knowingly skipped). Without a walk before, it
    // walks first. A failure of its own is reported to the error sink under
    // "FileCopier.Perform [...] -> [...]" and answers false.
    bool perform();

    // What the last perform() did: what could not be copied and why, what was kept.
    const Os::CopyOutcome& outcome() const { return m_outcome; }

private:
    // Appends the separator unless the path ends in one; the caller's variable changes.
    QString slashPad(QString& path);
    Os::CopyRequest request();

    ErrorSink& m_sink;
    QString m_source;
    QString m_target;
    bool m_overwrite = false;
    bool m_copyUnchanged = false;
    bool m_verify = false;
    bool m_compareContent = false;
    QString m_linkFrom;
    const std::atomic<bool>* m_stop = nullptr;
    Os::CopyPlan* m_plan = nullptr;
    Os::CopyOutcome m_outcome;
};

// One line per file or folder that could not be copied, naming the side that failed: the first
// `limit` of them, then "and N more".
QStringList describeCopyFailures(const Os::CopyOutcome& outcome, int limit = 10);
