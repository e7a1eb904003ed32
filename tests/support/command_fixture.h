#pragma once
// A test that runs the project's command-line tools (native build only): a fresh
// folder per test, removed afterwards, and each command's exit status with what
// it printed on standard output and standard error.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

inline std::string ReadText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class CommandTest : public ::testing::Test {
protected:
    // `prefix` names the folder, with the process id and the test's name after it.
    explicit CommandTest(std::string prefix) : prefix_(std::move(prefix)) {}

    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() /
               (prefix_ + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Runs a command line; returns its exit status, with stdout and stderr kept.
    int Run(const std::string& command)
    {
        const int status = std::system((command + " >" + (dir_ / "out.txt").string() + " 2>" +
                                        (dir_ / "err.txt").string()).c_str());
        out_ = ReadText(dir_ / "out.txt");
        err_ = ReadText(dir_ / "err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::filesystem::path dir_;
    std::string out_, err_;

private:
    std::string prefix_;
};
