// The plan of a copy: what both systems' walks produce and their copies read.
#include "os/os.h"

#include <algorithm>

namespace Os {

std::uint32_t CopyPlan::addName(std::string_view name)
{
    if (m_names.back().size() + name.size() + 1 > NameBlock) {
        m_names.emplace_back(1, '\0'); // each block starts with an empty name
        m_names.back().reserve(std::max<std::size_t>(NameBlock, name.size() + 2));
    }
    std::string& block = m_names.back();
    const auto at = static_cast<std::uint32_t>((m_names.size() - 1) * NameBlock + block.size());
    block.append(name);
    block.push_back('\0');
    return at;
}

std::string CopyPlan::folderPath(std::uint32_t folder, bool target) const
{
    std::vector<std::uint32_t> chain;
    for (std::uint32_t at = folder; at != 0; at = folders[at].parent)
        chain.push_back(at);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty())
            path.push_back('/');
        path.append(name(target ? folders[*it].targetName : folders[*it].name));
    }
    return path;
}

std::string CopyPlan::filePath(const PlannedFile& file, bool target) const
{
    std::string path = folderPath(file.folder, target);
    if (!path.empty())
        path.push_back('/');
    path.append(name(target ? file.targetName : file.name));
    return path;
}

bool PlannedFile::isWritten() const
{
    return action == PlannedAction::Copy || action == PlannedAction::Replace;
}

std::uint64_t CopyPlan::filesToWrite() const
{
    std::uint64_t count = 0;
    for (const PlannedFile& file : files)
        count += file.isWritten() ? 1 : 0;
    return count;
}

std::uint64_t CopyPlan::bytesToWrite() const
{
    std::uint64_t bytes = 0;
    for (const PlannedFile& file : files)
        if (file.isWritten())
            bytes += file.size;
    return bytes;
}

std::uint64_t CopyPlan::totalBytes() const
{
    std::uint64_t bytes = 0;
    for (const PlannedFile& file : files)
        bytes += file.size;
    return bytes;
}

} // namespace Os
