#include "cli/Console.h"

#include "cli/Signals.h"

#include <QJsonDocument>

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

Console::Console(QIODevice& input, QIODevice& output, QIODevice& error)
    : m_input(input), m_output(output), m_error(error)
{}

void Console::write(QIODevice& device, const QByteArray& bytes)
{
    // An output that takes nothing (closed, or a pipe whose reader left) has nobody left to
    // tell; the exit code still says how the command went.
    static_cast<void>(device.write(bytes));
}

void Console::writeText(QIODevice& device, const QString& text)
{
    write(device, text.toUtf8());
}

void Console::print(const QString& line)
{
    endStatus();
    writeText(m_output, line + QLatin1Char('\n'));
}

void Console::printError(const QString& line)
{
    endStatus();
    writeText(m_error, line + QLatin1Char('\n'));
}

void Console::printJson(const QJsonObject& document)
{
    endStatus();
    write(m_output, QJsonDocument(document).toJson(QJsonDocument::Indented));
}

std::optional<QString> Console::ask(const QString& question)
{
    endStatus();
    writeText(m_error, question);
    const std::optional<QByteArray> answer = readLine();
    if (!answer) {
        // The prompt's line is ended, so that what follows starts below it.
        write(m_error, "\n");
        return std::nullopt;
    }
    return QString::fromUtf8(*answer);
}

std::optional<QByteArray> Console::readLine()
{
    if (m_input.atEnd() && !m_input.waitForReadyRead(-1))
        return std::nullopt;
    QByteArray line = m_input.readLine();
    if (line.isEmpty())
        return std::nullopt;
    if (line.endsWith('\n'))
        line.chop(1);
    return line;
}

void Console::showStatus(const QString& status)
{
    // One column short of the width: a line that fills it would wrap on some terminals.
    const int width = columns();
    const QString fitted = width > 1 && status.size() >= width ? status.left(width - 1) : status;
    // Back to the line's start, the new text, and the rest of the old one cleared.
    writeText(m_error, QLatin1Char('\r') + fitted + QStringLiteral("\033[K"));
    m_statusShown = true;
}

void Console::endStatus()
{
    if (m_statusShown)
        write(m_error, "\n");
    m_statusShown = false;
}

SystemStreams::SystemStreams()
{
    // Unbuffered: every line is out before the next step, as a log reader expects. A stream the
    // caller closed stays closed, and what goes to it is lost, as with any program.
    static_cast<void>(input.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered));
    static_cast<void>(output.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered));
    static_cast<void>(error.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered));
}

SystemConsole::SystemConsole() : Console(input, output, error)
{
#ifdef _WIN32
    inputIsTerminal = _isatty(_fileno(stdin));
    errorIsTerminal = _isatty(_fileno(stderr));
    // The status line clears its rest with an escape sequence, which a console of Windows 10 and
    // later carries out once asked to.
    const HANDLE errorHandle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(errorHandle, &mode))
        static_cast<void>(SetConsoleMode(errorHandle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING));
#else
    inputIsTerminal = isatty(STDIN_FILENO);
    errorIsTerminal = isatty(STDERR_FILENO);
#endif
}

#ifdef _WIN32
void SystemConsole::writeText(QIODevice& device, const QString& text)
{
    // A console shows any character through the wide call, whatever its code page; a file or a
    // pipe gets UTF-8.
    const HANDLE handle = GetStdHandle(&device == &output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (!GetConsoleMode(handle, &mode)) {
        Console::writeText(device, text);
        return;
    }
    const std::wstring wide = text.toStdWString();
    for (std::size_t done = 0; done < wide.size();) {
        DWORD written = 0;
        if (!WriteConsoleW(handle, wide.data() + done, DWORD(wide.size() - done), &written,
                           nullptr) ||
            written == 0)
            return; // nobody left to tell, as with a closed stream
        done += written;
    }
}
#endif

std::optional<QByteArray> SystemConsole::readLine()
{
#ifdef _WIN32
    return Console::readLine();
#else
    QByteArray line;
    for (;;) {
        // poll() is never restarted after a signal, whatever the handler's flags: Ctrl+C ends
        // the wait, where a restarted read() would go on waiting for Enter.
        pollfd wait = {STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&wait, 1, -1);
        if (Signals::stopSignal() != 0)
            return std::nullopt;
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return std::nullopt;
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return line.isEmpty() ? std::nullopt : std::optional<QByteArray>(line);
        if (c == '\n')
            return line;
        line += c;
    }
#endif
}

int SystemConsole::columns()
{
#ifdef _WIN32
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info))
        return info.srWindow.Right - info.srWindow.Left + 1;
    return 0;
#else
    if (Signals::takeResize()) {
        winsize size = {};
        m_width = ::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 ? size.ws_col : 0;
    }
    return m_width;
#endif
}
