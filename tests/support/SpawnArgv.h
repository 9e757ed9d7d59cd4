#pragma once
// The argument vector posix_spawn takes: the program, then its arguments, then a null; the
// strings live as long as this object.

#include <string>
#include <vector>

class SpawnArgv {
public:
    SpawnArgv(const std::string& program, const std::vector<std::string>& args)
        : m_strings{program} {
        m_strings.insert(m_strings.end(), args.begin(), args.end());
        for (std::string& arg : m_strings) m_pointers.push_back(arg.data());
        m_pointers.push_back(nullptr);
    }
    SpawnArgv(const SpawnArgv&) = delete;
    SpawnArgv& operator=(const SpawnArgv&) = delete;

    char* const* Data() const { return m_pointers.data(); }

private:
    std::vector<std::string> m_strings;
    std::vector<char*> m_pointers;
};
