// HKEY_CURRENT_USER on Windows: the registry itself, through its ANSI functions.
#include "os/os.h"

#include <windows.h>

namespace Os {

std::int32_t regOpenCurrentUserKey(const std::string& subKey, std::uint32_t access,
                                   RegistryKey& key)
{
    HKEY opened = nullptr;
    const LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, access, &opened);
    if (result == ERROR_SUCCESS)
        key = reinterpret_cast<RegistryKey>(opened);
    return result;
}

std::int32_t regQueryStringValue(RegistryKey key, const std::string& valueName, char* data,
                                 std::uint32_t& dataSize)
{
    DWORD size = dataSize;
    DWORD type = REG_NONE;
    const LONG result = RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.c_str(), nullptr,
                                         &type, reinterpret_cast<BYTE*>(data), &size);
    // The registry hands out any value's bytes (a DWORD as four of them, binary data without a
    // terminator); only text is a string here, as in the Linux backend.
    if ((result == ERROR_SUCCESS || result == ERROR_MORE_DATA) && type != REG_SZ &&
        type != REG_EXPAND_SZ)
        return RegistryNotAString;
    dataSize = size;
    return result;
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
