#pragma once
// Runs the norvalt tool as a program in a folder of the test's own and
// collects its exit code and output.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace norvalt::test {

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("norvalt-cli-") + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Runs the tool with the arguments as they stand (quoted by the caller).
    ToolRun run(const std::string& arguments) const
    {
        const std::filesystem::path out = dir_ / "stdout", err = dir_ / "stderr";
        const std::string command =
            std::string("'") + NORVALT_CLI + "' " + arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
    }

    static std::string slurp(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

} // namespace norvalt::test
