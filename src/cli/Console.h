// The streams of zeb2000-cli: standard output, standard error and standard input, whether they
// are terminals, and the width of the terminal. Tests put buffers in their place.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QJsonObject>
#include <QString>

#include <optional>

class QIODevice;

class Console
{
public:
    // The devices stay the caller's.
    Console(QIODevice& input, QIODevice& output, QIODevice& error);
    virtual ~Console() = default;

    // Whether a question can be asked: standard input and standard error are terminals.
    bool canAsk() const { return inputIsTerminal && errorIsTerminal; }
    // Whether a status line can be redrawn in place on standard error.
    bool canShowProgress() const { return errorIsTerminal; }

    // Prints a line to standard output, or to standard error.
    void print(const QString& line);
    void printError(const QString& line);
    // One JSON document on standard output.
    void printJson(const QJsonObject& document);
    // Asks on standard error and reads one line of standard input; none at the input's end or
    // when a stop signal came while it waited.
    std::optional<QString> ask(const QString& question);
    // Redraws the status line on standard error, cut to the terminal's width so that it never
    // wraps onto a new line; or ends it, so that the next output starts below it.
    void showStatus(const QString& status);
    void endStatus();

    bool inputIsTerminal = false;
    bool errorIsTerminal = false;

protected:
    // Writes text to standard output or standard error: as UTF-8, or as a console needs it.
    virtual void writeText(QIODevice& device, const QString& text);
    // One line of input without its line end; none at the end or when stopped.
    virtual std::optional<QByteArray> readLine();
    // The terminal's width in columns, 0 when unknown.
    virtual int columns() { return m_columns; }

public:
    // Tests set the width of the pretended terminal.
    void setColumns(int columns) { m_columns = columns; }

private:
    void write(QIODevice& device, const QByteArray& bytes);

    QIODevice& m_input;
    QIODevice& m_output;
    QIODevice& m_error;
    bool m_statusShown = false;
    int m_columns = 0;
};

// The process's standard streams, opened before the console that writes to them.
struct SystemStreams
{
    SystemStreams();
    QFile input;
    QFile output;
    QFile error;
};

// The process's own standard streams and terminal. A question waits for input in a way that a
// stop signal ends (Ctrl+C at a prompt), and the width is read again after SIGWINCH.
class SystemConsole final : private SystemStreams, public Console
{
public:
    SystemConsole();

protected:
#ifdef _WIN32
    void writeText(QIODevice& device, const QString& text) override;
#endif
    std::optional<QByteArray> readLine() override;
    int columns() override;

private:
    int m_width = 0;
};
