#pragma once
// A fresh folder per test, removed afterwards, with a helper for files of a size.

#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

class TempDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/mv-platform-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string MakeFile(const std::string& name, std::size_t size, char fill = 0)
    {
        const std::string path = m_dir / name;
        std::ofstream(path, std::ios::binary) << std::string(size, fill);
        return path;
    }

    std::filesystem::path m_dir;
};
