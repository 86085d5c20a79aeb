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
    const LONG result = RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.c_str(), nullptr,
                                         nullptr, reinterpret_cast<BYTE*>(data), &size);
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
