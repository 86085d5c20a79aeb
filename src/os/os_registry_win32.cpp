// HKEY_CURRENT_USER on Windows: the registry itself, through its wide functions, so that a
// folder named outside the ANSI code page is read as it is; its text crosses as WTF-8.
#include "os/os.h"

#include <windows.h>

#include <cstring>

namespace Os {

namespace {

std::wstring wide(const std::string& text)
{
    const std::u16string utf16 = utf16FromWtf8(text);
    return std::wstring(utf16.begin(), utf16.end());
}

} // namespace

std::int32_t regOpenCurrentUserKey(const std::string& subKey, std::uint32_t access,
                                   RegistryKey& key)
{
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, wide(subKey).c_str(), 0, access, &opened);
    if (result == ERROR_SUCCESS)
        key = reinterpret_cast<RegistryKey>(opened);
    return result;
}

std::int32_t regQueryStringValue(RegistryKey key, const std::string& valueName, char* data,
                                 std::uint32_t& dataSize)
{
    const HKEY handle = reinterpret_cast<HKEY>(key);
    const std::wstring name = wide(valueName);
    std::wstring value;
    DWORD type = REG_NONE;
    LONG result = ERROR_MORE_DATA;
    // The value may grow between asking its size and reading it: ask again until it fits.
    for (DWORD bytes = 256; result == ERROR_MORE_DATA;) {
        value.assign(bytes / sizeof(wchar_t) + 1, L'\0');
        result = RegQueryValueExW(handle, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(value.data()), &bytes);
        if (result == ERROR_SUCCESS)
            value.resize(bytes / sizeof(wchar_t));
    }
    if (result != ERROR_SUCCESS)
        return result;
    // The registry hands out any value's bytes (a DWORD as four of them, binary data without a
    // terminator); only text is a string here, as in the Linux backend.
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return RegistryNotAString;
    if (!value.empty() && value.back() == L'\0')
        value.pop_back();
    const std::string text = wtf8FromUtf16(std::u16string(value.begin(), value.end()));
    const std::uint32_t needed = static_cast<std::uint32_t>(text.size() + 1);
    if (data == nullptr || needed > dataSize) {
        dataSize = needed;
        return RegistryMoreData;
    }
    std::memcpy(data, text.c_str(), needed);
    dataSize = needed;
    return RegistrySuccess;
}

std::int32_t regCloseKey(RegistryKey key)
{
    return RegCloseKey(reinterpret_cast<HKEY>(key));
}

std::string nativePathFromRegistry(const std::string& dosPath)
{
    return dosPath;
}

} // namespace Os
