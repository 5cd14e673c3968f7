#include "tests/support/temp_folder.h"

#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

TempFolder::TempFolder()
{
    // create_directory is the atomic claim: a name another process took (or a
    // run that crashed left) is passed over.
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = fs::temp_directory_path() / ("mv-test-" + std::to_string(random()));
        std::error_code error;
        if (fs::create_directory(folder, error)) {
            m_folder = folder;
            return;
        }
    }
    ADD_FAILURE() << "no temporary folder could be made in " << fs::temp_directory_path();
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    if (!m_folder.empty())
        fs::remove_all(m_folder, ignored);
}

std::string TempFolder::MakeFile(const std::string& name, const std::string& bytes) const
{
    const std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string TempFolder::ContentOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::size_t TempFolder::EntryCount() const
{
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()));
}
