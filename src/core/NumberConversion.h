#pragma once

#include <QString>

// Text to a 16-bit signed integer, as the runtime converts it: blanks around the number are
// allowed, a fraction rounds to the nearest integer with halves to the even neighbour, "&H" and
// "&O" introduce hexadecimal and octal numbers. Raises error 6 (overflow) outside -32768 to
// 32767 and error 13 (type mismatch) for text that is no number.
qint16 toInteger16(const QString& text);
