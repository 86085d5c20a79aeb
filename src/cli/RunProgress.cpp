#include "cli/RunProgress.h"

#include "cli/CommandLine.h"
#include "cli/FileList.h"
#include "cli/Signals.h"
#include "core/SizeFormat.h"

#include <QDir>

namespace {

// An answer given in English or in the user's language: "y" or "yes", or the translations.
bool answered(const QString& word, const char* letter, const char* whole)
{
    return word == QLatin1String(letter) || word == QLatin1String(whole) ||
           word == CommandLine::tr(letter) || word == CommandLine::tr(whole);
}

} // namespace

RunProgress::RunProgress(Console& console, bool quiet, bool verbose, bool force, bool makePath)
    : m_console(console), m_showStatus(!quiet && console.canShowProgress()), m_verbose(verbose),
      m_force(force), m_makePath(makePath)
{}

// Goes on when the user on a terminal says so; without one, says why nothing was copied.
bool RunProgress::goOnWithoutRoom(const QString& shortage)
{
    const QString& message = shortage;
    if (m_console.canAsk()) {
        const std::optional<QString> answer =
            m_console.ask(CommandLine::tr("%1 Go on all the same? [y]es, [n]o: ").arg(message));
        const QString word = answer ? answer->trimmed().toLower() : QString();
        return Signals::stopSignal() == 0 && answered(word, QT_TRANSLATE_NOOP("CommandLine", "y"),
                                                      QT_TRANSLATE_NOOP("CommandLine", "yes"));
    }
    m_console.printError(QStringLiteral("zeb2000-cli: ") +
                         CommandLine::tr("%1 Nothing was copied.").arg(message));
    return false;
}

Os::ReplaceAnswer RunProgress::askReplace(const QString& targetFile)
{
    if (!m_console.canAsk())
        return Os::ReplaceAnswer::No;
    for (;;) {
        const std::optional<QString> answer =
            m_console.ask(CommandLine::tr("Replace %1? [y]es, [a]ll, [n]o, [c]ancel: ")
                              .arg(QDir::toNativeSeparators(targetFile)));
        // The input's end, or Ctrl+C while it waited: nothing more is replaced.
        if (!answer || Signals::stopSignal() != 0)
            return Os::ReplaceAnswer::Cancel;
        const QString word = answer->trimmed().toLower();
        if (answered(word, QT_TRANSLATE_NOOP("CommandLine", "y"),
                     QT_TRANSLATE_NOOP("CommandLine", "yes")))
            return Os::ReplaceAnswer::Yes;
        if (answered(word, QT_TRANSLATE_NOOP("CommandLine", "a"),
                     QT_TRANSLATE_NOOP("CommandLine", "all")))
            return Os::ReplaceAnswer::YesToAll;
        if (answered(word, QT_TRANSLATE_NOOP("CommandLine", "n"),
                     QT_TRANSLATE_NOOP("CommandLine", "no")))
            return Os::ReplaceAnswer::No;
        if (word.isEmpty() || answered(word, QT_TRANSLATE_NOOP("CommandLine", "c"),
                                       QT_TRANSLATE_NOOP("CommandLine", "cancel")))
            return Os::ReplaceAnswer::Cancel;
    }
}

void RunProgress::componentStarted(const Component& component, qint64 bytesToCopy)
{
    m_name = component.name;
    m_total = bytesToCopy;
    m_clock.start();
    m_shown = -1000;
    componentProgress(0);
}

QString RunProgress::statusText(const QString& component, qint64 bytesDone, qint64 total,
                                qint64 milliseconds)
{
    const int percent = total > 0 ? int(100 * bytesDone / total) : 100;
    const double seconds = double(qMax<qint64>(milliseconds, 1)) / 1000.0;
    return CommandLine::tr("%1: %2%, %3 of %4, %5/s")
        .arg(component, QString::number(percent), formatSize(bytesDone), formatSize(total),
             formatSize(qint64(double(bytesDone) / seconds)));
}

void RunProgress::componentProgress(qint64 bytesDone)
{
    // A few times a second is enough for the eye.
    if (!m_showStatus || (m_clock.elapsed() - m_shown < 200 && bytesDone < m_total))
        return;
    m_shown = m_clock.elapsed();
    m_console.showStatus(statusText(m_name, bytesDone, m_total, m_clock.elapsed()));
}

void RunProgress::componentFinished(const ComponentResult& result)
{
    const QString line =
        CommandLine::tr("%1: %2 (%3 files, %4 copied; %5 unchanged)")
            .arg(result.component.name,
                 result.copied ? CommandLine::tr("done") : CommandLine::tr("FAILED"),
                 QString::number(result.outcome.filesCopied),
                 formatSize(qint64(result.outcome.bytesCopied)),
                 QString::number(result.outcome.filesUnchanged));
    if (m_verbose) {
        m_console.print(line);
        if (result.plan)
            listFiles(m_console, *result.plan, result.component.folder, FileListing::Done, false,
                      nullptr);
    } else if (m_showStatus) {
        m_console.showStatus(line);
    }
    m_console.endStatus();
}
