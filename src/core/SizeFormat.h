// Sizes as the program shows them, in the window and on the command line alike.
#pragma once

#include <QString>

// A size in binary units with one decimal, the unit chosen so that the number reads well:
// "512 bytes", "3.5 KiB", "12.0 MiB", "1.2 GiB". Below 1 MiB it is KiB, so that a small
// component never reads "0.0 MiB". The word "bytes" is in the user's language: the result is
// for people, never for files or --json.
QString formatSize(qint64 bytes);
