// HKEY_CURRENT_USER on Linux: the user.reg file of the Wine prefix, read as Wine writes it.
#include "os/os.h"
#include "os/os_internal.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace Os {
namespace {

struct Value
{
    bool isString = false;
    std::string utf8;
};

// One open key: its values, read from the file when the key was opened.
struct OpenKey
{
    std::map<std::u32string, Value> values; // by case-folded name
};

std::mutex openKeysMutex;
std::set<OpenKey*> openKeys;

std::u32string foldedName(const std::string& utf8)
{
    std::u32string out = detail::decodeUtf8(utf8);
    for (char32_t& c : out)
        c = detail::foldCase(c);
    return out;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads Wine's escaped text from pos up to the unescaped terminator; pos ends on the terminator.
// Answers false when the terminator is missing. Text is UTF-16 in Wine, so \x escapes are code
// units that may pair up into one character.
bool unescape(const std::string& line, std::size_t& pos, char terminator, std::string& out)
{
    std::u16string units;
    const auto flushUnits = [&]() {
        for (std::size_t i = 0; i < units.size(); ++i) {
            char32_t cp = units[i];
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
                ++i;
            }
            detail::appendUtf8(out, cp);
        }
        units.clear();
    };
    while (pos < line.size() && line[pos] != terminator) {
        char c = line[pos++];
        if (c != '\\') {
            flushUnits();
            out.push_back(c); // the file is ASCII as Wine writes it; UTF-8 passes unchanged
            continue;
        }
        if (pos >= line.size())
            return false;
        c = line[pos++];
        switch (c) {
        case 'a':
            units.push_back(u'\a');
            break;
        case 'b':
            units.push_back(u'\b');
            break;
        case 'e':
            units.push_back(0x1B);
            break;
        case 'f':
            units.push_back(u'\f');
            break;
        case 'n':
            units.push_back(u'\n');
            break;
        case 'r':
            units.push_back(u'\r');
            break;
        case 't':
            units.push_back(u'\t');
            break;
        case 'v':
            units.push_back(u'\v');
            break;
        case 'x': {
            unsigned value = 0;
            int digits = 0;
            for (; digits < 4 && pos < line.size() && hexDigit(line[pos]) >= 0; ++digits)
                value = value * 16 + static_cast<unsigned>(hexDigit(line[pos++]));
            // "\x" without digits is a plain "x", as Wine reads it.
            units.push_back(digits == 0 ? u'x' : static_cast<char16_t>(value));
            break;
        }
        default:
            if (c >= '0' && c <= '7') {
                unsigned value = static_cast<unsigned>(c - '0');
                for (int digits = 1;
                     digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7';
                     ++digits)
                    value = value * 8 + static_cast<unsigned>(line[pos++] - '0');
                units.push_back(static_cast<char16_t>(value));
            } else {
                flushUnits();
                out.push_back(c);
            }
        }
    }
    flushUnits();
    return pos < line.size();
}

std::string trimmedKeyName(std::string name)
{
    while (!name.empty() && name.back() == '\\')
        name.pop_back();
    std::size_t start = 0;
    while (start < name.size() && name[start] == '\\')
        ++start;
    return name.substr(start);
}

// Whether a section named `section` is the key itself (1), below it (2), or neither (0).
int relation(const std::u32string& section, const std::u32string& key)
{
    if (key.empty())
        return section.empty() ? 1 : 2;
    if (section.size() < key.size() || section.compare(0, key.size(), key) != 0)
        return 0;
    if (section.size() == key.size())
        return 1;
    return section[key.size()] == U'\\' ? 2 : 0;
}

// Parses one value line of the wanted section into values.
void parseValueLine(const std::string& line, std::map<std::u32string, Value>& values)
{
    std::size_t pos = 0;
    std::string name;
    if (line[0] == '@') {
        pos = 1;
    } else {
        pos = 1;
        if (!unescape(line, pos, '"', name))
            return;
        ++pos; // the closing quote
    }
    if (pos >= line.size() || line[pos] != '=')
        return;
    ++pos;
    Value value;
    std::string_view rest(line.data() + pos, line.size() - pos);
    std::size_t quoteAt = std::string::npos;
    if (rest.starts_with("\""))
        quoteAt = pos;
    else if (rest.starts_with("str(2):\"") || rest.starts_with("str(1):\""))
        quoteAt = pos + 7; // REG_EXPAND_SZ (and REG_SZ spelled out) are text as well
    if (quoteAt != std::string::npos) {
        std::size_t textAt = quoteAt + 1;
        value.isString = unescape(line, textAt, '"', value.utf8);
    }
    values[foldedName(name)] = std::move(value);
}

// Far above any real user.reg (a few MiB at most); it bounds the memory that reading one takes.
constexpr off_t MaxRegistrySize = off_t(64) << 20;

// The whole of user.reg, if it is a regular file of a sane size. Anything else (a FIFO, which
// would block the open, a device, a huge file) answers false, as a file that cannot be read.
bool readRegistryFile(const std::string& path, std::string& content)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {
    };
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= MaxRegistrySize;
    if (ok)
        content.reserve(static_cast<std::size_t>(info.st_size));
    // The file may grow while it is read: never more than the limit.
    char chunk[1 << 16];
    while (ok) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        content.append(chunk, static_cast<std::size_t>(got));
        ok = content.size() <= static_cast<std::size_t>(MaxRegistrySize);
    }
    ::close(fd);
    return ok;
}

// Reads the values of one key from user.reg. Answers false when the file cannot be read or
// holds no such key.
bool loadKey(const std::string& subKey, OpenKey& key)
{
    std::string content;
    if (!readRegistryFile(winePrefix() + "/user.reg", content))
        return false;
    std::istringstream file(std::move(content));
    std::string line;
    if (!std::getline(file, line))
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line.rfind("WINE REGISTRY Version 2", 0) != 0)
        return false;
    const std::u32string wanted = foldedName(trimmedKeyName(subKey));
    bool found = wanted.empty();
    bool inWanted = false;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue; // comments, ";; All keys relative to", "#arch=", "#time=", "#link"
        if (line[0] == '[') {
            std::size_t pos = 1;
            std::string section;
            inWanted = false;
            if (!unescape(line, pos, ']', section))
                continue;
            const int r = relation(foldedName(trimmedKeyName(section)), wanted);
            found = found || r != 0;
            inWanted = r == 1;
            continue;
        }
        if (inWanted && (line[0] == '"' || line[0] == '@'))
            parseValueLine(line, key.values);
    }
    return found;
}

OpenKey* liveKey(RegistryKey handle)
{
    auto* key = reinterpret_cast<OpenKey*>(handle);
    return openKeys.count(key) != 0 ? key : nullptr;
}

bool isDirectory(const std::string& path)
{
    struct stat info
    {
    };
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string winePrefix()
{
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix != nullptr && *prefix != '\0') {
        std::string path(prefix);
        while (path.size() > 1 && path.back() == '/')
            path.pop_back();
        return path;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.wine";
}

std::int32_t regOpenCurrentUserKey(const std::string& subKey, std::uint32_t, RegistryKey& key)
{
    auto opened = std::make_unique<OpenKey>();
    if (!loadKey(subKey, *opened))
        return RegistryNotFound;
    std::lock_guard lock(openKeysMutex);
    key = reinterpret_cast<RegistryKey>(opened.get());
    openKeys.insert(opened.release());
    return RegistrySuccess;
}

std::int32_t regQueryStringValue(RegistryKey handle, const std::string& valueName, char* data,
                                 std::uint32_t& dataSize)
{
    std::lock_guard lock(openKeysMutex);
    OpenKey* key = liveKey(handle);
    if (key == nullptr)
        return RegistryInvalidHandle;
    const auto found = key->values.find(foldedName(valueName));
    if (found == key->values.end())
        return RegistryNotFound;
    if (!found->second.isString)
        return RegistryNotAString;
    const std::string& text = found->second.utf8;
    const auto needed = static_cast<std::uint32_t>(text.size() + 1);
    if (data == nullptr || needed > dataSize) {
        dataSize = needed; // as the registry does: the size that would have been needed
        return RegistryMoreData;
    }
    std::memcpy(data, text.c_str(), needed);
    dataSize = needed;
    return RegistrySuccess;
}

std::int32_t regCloseKey(RegistryKey handle)
{
    std::lock_guard lock(openKeysMutex);
    OpenKey* key = liveKey(handle);
    if (key == nullptr)
        return RegistryInvalidHandle;
    openKeys.erase(key);
    delete key;
    return RegistrySuccess;
}

std::string nativePathFromRegistry(const std::string& dosPath)
{
    if (dosPath.size() < 2 || dosPath[1] != ':' ||
        !std::isalpha(static_cast<unsigned char>(dosPath[0])))
        return dosPath;
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(dosPath[0])));
    const std::string prefix = winePrefix();
    std::string root;
    char* resolved = ::realpath((prefix + "/dosdevices/" + drive + ":").c_str(), nullptr);
    if (resolved != nullptr) {
        root = resolved;
        std::free(resolved);
    } else if (drive == 'c' && isDirectory(prefix + "/drive_c")) {
        root = prefix + "/drive_c";
    } else {
        return dosPath;
    }
    while (!root.empty() && root.back() == '/')
        root.pop_back(); // the root folder itself comes back as "" and gets its "/" below
    std::string rest = dosPath.substr(2);
    for (char& c : rest)
        if (c == '\\')
            c = '/';
    if (rest.empty() || rest.front() != '/')
        rest.insert(rest.begin(), '/');
    return resolvePathIgnoringCase(root + rest);
}

} // namespace Os
