// What the command line needs of its terminal: whether there is one, a question answered on it,
// and one status line that updates in place.
#pragma once

#include <QString>

namespace Terminal {

// Whether standard input and standard error are a terminal, so that a question can be asked.
bool canAsk();
// Whether standard error is a terminal, so that a status line can be redrawn.
bool canShowProgress();

// Asks on standard error and reads one line of standard input; an empty text at its end.
QString ask(const QString& question);

// Prints a line to standard output, or to standard error.
void print(const QString& line);
void printError(const QString& line);
// Redraws the status line (standard error), or ends it so that the next output starts below.
void showStatus(const QString& status);
void endStatus();

} // namespace Terminal
