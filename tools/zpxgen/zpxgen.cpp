// zpxgen: writes backup plugin files (*.zpx) from a plain-text list of components.
//
//   zpxgen <components.txt> <output-folder>
//
// Each line of the list: file-name | Component name | Folder | flag [| extra text]
// Blank lines and lines starting with '#' are skipped. The list is UTF-8; the plugin files hold
// their text in Windows-1252, the ANSI code page the program reads them with. The record
// written is: u16 count + name, u16 count + folder, i16 flag, u16 count + extra text, all
// little-endian, no padding, no terminators.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct Component
{
    std::string fileName;
    std::string name;
    std::string folder;
    std::int16_t flag = 0;
    std::string extra;
};

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> splitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = line.find('|', start);
        fields.push_back(trimmed(line.substr(start, bar - start)));
        if (bar == std::string::npos)
            return fields;
        start = bar + 1;
    }
}

// Windows-1252 at 0x80..0x9F; the five holes of the code page are 0.
constexpr char32_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char> cp1252Byte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (unsigned i = 0; i < 32; ++i)
        if (c != 0 && Cp1252High[i] == c)
            return static_cast<char>(0x80 + i);
    return std::nullopt;
}

// UTF-8 to Windows-1252; nothing when the text is not UTF-8 or holds a character the code page
// lacks.
std::optional<std::string> toCp1252(const std::string& utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = lead < 0x80         ? 1
                     : (lead >> 5) == 6  ? 2
                     : (lead >> 4) == 14 ? 3
                     : (lead >> 3) == 30 ? 4
                                         : 0;
        if (length == 0 || i + static_cast<std::size_t>(length) > utf8.size())
            return std::nullopt;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((next >> 6) != 2)
                return std::nullopt;
            c = (c << 6) | (next & 0x3F);
        }
        const auto byte = cp1252Byte(c);
        if (!byte)
            return std::nullopt;
        out.push_back(*byte);
        i += static_cast<std::size_t>(length);
    }
    return out;
}

void putWord(std::string& out, std::uint16_t word)
{
    out.push_back(static_cast<char>(word & 0xFF));
    out.push_back(static_cast<char>(word >> 8));
}

void putText(std::string& out, const std::string& text)
{
    putWord(out, static_cast<std::uint16_t>(text.size()));
    out += text;
}

std::string record(const Component& component)
{
    std::string out;
    putText(out, component.name);
    putText(out, component.folder);
    putWord(out, static_cast<std::uint16_t>(component.flag));
    putText(out, component.extra);
    return out;
}

bool fail(const std::string& where, const std::string& message)
{
    std::cerr << where << ": " << message << '\n';
    return false;
}

bool parseLine(const std::string& line, const std::string& where, Component& component)
{
    const std::vector<std::string> fields = splitFields(line);
    if (fields.size() < 4 || fields.size() > 5)
        return fail(where, "expected 'file-name | Component name | Folder | flag [| extra]'");

    component.fileName = fields[0];
    if (component.fileName.empty() || component.fileName.find_first_of("/\\:") != std::string::npos)
        return fail(where, "the file name must be a plain name");
    const std::string extension = ".zpx";
    if (component.fileName.size() < extension.size() ||
        component.fileName.compare(component.fileName.size() - extension.size(), extension.size(),
                                   extension) != 0)
        component.fileName += extension;

    const std::string texts[3] = {fields[1], fields[2], fields.size() == 5 ? fields[4] : ""};
    std::string converted[3];
    for (int i = 0; i < 3; ++i) {
        const auto text = toCp1252(texts[i]);
        if (!text)
            return fail(where, "'" + texts[i] + "' cannot be written in Windows-1252");
        if (text->size() > 0xFFFF)
            return fail(where, "a text longer than 65535 bytes");
        converted[i] = *text;
    }
    component.name = converted[0];
    component.folder = converted[1];
    component.extra = converted[2];
    if (component.name.empty())
        return fail(where, "the component needs a name");
    if (!component.folder.empty() &&
        (component.folder.front() == '\\' || component.folder.front() == '/' ||
         component.folder.find(':') != std::string::npos))
        return fail(where, "the folder must be relative to the ICQ folder");
    for (std::size_t start = 0; start <= component.folder.size();) {
        const std::size_t end = component.folder.find_first_of("/\\", start);
        if (component.folder.substr(start, end - start) == "..")
            return fail(where, "the folder must stay below the ICQ folder");
        if (end == std::string::npos)
            break;
        start = end + 1;
    }

    try {
        std::size_t used = 0;
        const int flag = std::stoi(fields[3], &used);
        if (used != fields[3].size() || flag < -32768 || flag > 32767)
            throw std::out_of_range("flag");
        component.flag = static_cast<std::int16_t>(flag);
    } catch (const std::exception&) {
        return fail(where, "the flag must be a whole number from -32768 to 32767");
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::cerr << "usage: zpxgen <components.txt> <output-folder>\n";
        return 2;
    }
    const std::string listPath = argv[1];
    const std::string outputFolder = argv[2];
    std::ifstream list(listPath, std::ios::binary);
    if (!list) {
        std::cerr << listPath << ": cannot be read\n";
        return 1;
    }

    // Everything is checked before anything is written, so a bad list leaves no half set.
    std::vector<Component> components;
    std::set<std::string> fileNames;
    std::string line;
    int lineNumber = 0;
    bool good = true;
    while (std::getline(list, line)) {
        ++lineNumber;
        const std::string text = trimmed(line);
        if (text.empty() || text.front() == '#')
            continue;
        const std::string where = listPath + ":" + std::to_string(lineNumber);
        Component component;
        if (!parseLine(text, where, component)) {
            good = false;
            continue;
        }
        if (!fileNames.insert(component.fileName).second) {
            good = fail(where, "the file name " + component.fileName + " is used twice");
            continue;
        }
        components.push_back(component);
    }
    if (!good)
        return 1;

    for (const Component& component : components) {
        const std::string path = outputFolder + "/" + component.fileName;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        const std::string bytes = record(component);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::cerr << path << ": cannot be written\n";
            return 1;
        }
    }
    return 0;
}
