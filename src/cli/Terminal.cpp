#include "cli/Terminal.h"

#include <cstdio>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace Terminal {
namespace {

bool statusShown = false;

} // namespace

bool canAsk()
{
    return isatty(fileno(stdin)) && isatty(fileno(stderr));
}

bool canShowProgress()
{
    return isatty(fileno(stderr));
}

QString ask(const QString& question)
{
    endStatus();
    std::fputs(question.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    std::string answer;
    if (!std::getline(std::cin, answer))
        return QString();
    return QString::fromLocal8Bit(answer.c_str());
}

void print(const QString& line)
{
    endStatus();
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

void printError(const QString& line)
{
    endStatus();
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

void showStatus(const QString& status)
{
    // Back to the line's start, the new text, and the rest of the old one cleared.
    std::fprintf(stderr, "\r%s\033[K", status.toLocal8Bit().constData());
    std::fflush(stderr);
    statusShown = true;
}

void endStatus()
{
    if (statusShown)
        std::fputc('\n', stderr);
    statusShown = false;
}

} // namespace Terminal
