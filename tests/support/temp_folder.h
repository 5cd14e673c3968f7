#pragma once
// A fresh folder for each test, removed with everything in it afterwards.
// Made on construction, so that a fixture's members may name paths in it.

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <string>

class TempFolder : public ::testing::Test {
protected:
    TempFolder();
    ~TempFolder() override;

    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }
    // Writes the file `name` in the folder and returns its path.
    std::string MakeFile(const std::string& name, const std::string& bytes) const;
    std::string MakeFile(const std::string& name, std::size_t size, char fill = 0) const
    {
        return MakeFile(name, std::string(size, fill));
    }
    static std::string ContentOf(const std::string& path);
    // What a test leaves behind shows here.
    std::size_t EntryCount() const;

    std::filesystem::path m_folder;
};
