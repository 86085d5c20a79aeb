// The user.reg reader on any file, and on any text escaped as Wine writes it: the text reads back
// unchanged. The input is the file's body after Wine's first line and, taken as UTF-16 code
// units, the text of one value.
#include "check.h"
#include "os/os.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::string Key = "Software\\Fuzz";

// A prefix of the fuzzer's own for the whole run, in memory where it can be: two files written
// to disk for every input slow the fuzzer down more than tenfold.
const std::string& userReg()
{
    static const std::string path = [] {
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm")
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string folder = base / "zeb-fuzz-XXXXXX";
        check(::mkdtemp(folder.data()) != nullptr);
        ::setenv("WINEPREFIX", folder.c_str(), 1);
        std::atexit([] { std::filesystem::remove_all(std::getenv("WINEPREFIX")); });
        return folder + "/user.reg";
    }();
    return path;
}

void writeUserReg(const std::string& body)
{
    std::ofstream(userReg(), std::ios::binary | std::ios::trunc) << "WINE REGISTRY Version 2\n"
                                                                 << body;
}

// Reads a value as the program does, but with a buffer of the size the reader asks for. Answers
// false when the key or the value cannot be read as text.
bool readValue(const std::string& name, std::string& text)
{
    Os::RegistryKey key = 0;
    if (Os::regOpenCurrentUserKey(Key, Os::KeyAllAccess, key) != Os::RegistrySuccess)
        return false;
    std::uint32_t size = 0;
    std::int32_t result = Os::regQueryStringValue(key, name, nullptr, size);
    if (result == Os::RegistryMoreData) {
        std::string buffer(size, '#');
        result = Os::regQueryStringValue(key, name, buffer.data(), size);
        check(result != Os::RegistrySuccess || (size == buffer.size() && buffer.back() == '\0'));
        text = buffer.substr(0, size - 1);
    }
    check(Os::regCloseKey(key) == Os::RegistrySuccess);
    return result == Os::RegistrySuccess;
}

// One UTF-16 code unit as Wine writes it between quotes.
void appendEscaped(std::string& out, char16_t unit)
{
    char escape[8] = {};
    if (unit == u'\\' || unit == u'"')
        std::snprintf(escape, sizeof escape, "\\%c", static_cast<char>(unit));
    else if (unit >= 7 && unit <= 13)
        std::snprintf(escape, sizeof escape, "\\%c", "abtnvfr"[unit - 7]);
    else if (unit == 0x1B)
        std::snprintf(escape, sizeof escape, "\\e");
    else if (unit < 0x20)
        std::snprintf(escape, sizeof escape, "\\%03o", unsigned(unit));
    else if (unit >= 0x7F)
        std::snprintf(escape, sizeof escape, "\\x%04x", unsigned(unit));
    else
        escape[0] = static_cast<char>(unit);
    out += escape;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    // Any body: whatever the reader makes of it, a value it answers is whole.
    writeUserReg(input);
    std::string ignored;
    readValue("ICQPath", ignored);
    readValue("", ignored);

    // The input's code units, lone surrogates left out, as the text of one value.
    std::u16string units;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        units += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    const auto in = [&](std::size_t at, char16_t from) {
        return at < units.size() && units[at] >= from && units[at] <= from + 0x3FF;
    };
    std::u16string text16;
    for (std::size_t i = 0; i < units.size(); ++i)
        if (in(i, 0xD800) && in(i + 1, 0xDC00))
            text16 += units.substr(i++, 2);
        else if (!in(i, 0xD800) && !in(i, 0xDC00))
            text16 += units[i];
    std::string escaped;
    for (const char16_t unit : text16)
        appendEscaped(escaped, unit);
    writeUserReg("\n[Software\\\\Fuzz] 1700000000\n#time=1d9a0b0c0d0e0f0\n\"Value\"=\"" + escaped +
                 "\"\n");
    std::string text;
    check(readValue("Value", text));
    check(text == Os::wtf8FromUtf16(text16));
    return 0;
}
