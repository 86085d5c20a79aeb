// File names that must travel as bytes through every layer: the OS calls, the backup's manifest,
// a restore's record and its undo. Each layer's tests carry all of them.
#pragma once

#include <string>
#include <vector>

struct ByteName
{
    const char* what;
    std::string bytes;
};

inline const std::vector<ByteName> ByteNames = {
    {"percent and spaces", "100% %41 sure .dat"},
    {"the record's own name", "ZEB record"},
    {"non-ASCII", "\xc3\xbc.dat"},
#ifndef _WIN32 // Windows names hold none of these
    {"newline", "new\nicq.exe"},
    {"not UTF-8", "\xff\xfe.dat"},
    {"backslash", "back\\slash"},
#endif
};
