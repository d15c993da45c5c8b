// norvalt sample-lab DIR: writes the sample laboratory into DIR.
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include "commands.h"
#include "data/database.h"
#include "sample_lab.h"

namespace norvalt::cli {

namespace {

int runSampleLab(const std::filesystem::path& dir)
{
    try {
        std::cout << writeSampleLab(dir).string() << '\n';
    } catch (const DataBase::SqlException& e) {
        std::cerr << "database error " << e.code << ": " << e.what() << '\n' << e.sql << '\n';
        return exitDataBase;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        return exitFailed;
    }
    return exitOk;
}

} // namespace

void addSampleLabCommand(CLI::App& app, int& exitCode)
{
    auto dir = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand("sample-lab", "Write a sample laboratory: DIR/lab.db and its chromatogram files");
    command->add_option("DIR", *dir, "Folder of the laboratory")->required();
    command->callback([dir, &exitCode]() { exitCode = runSampleLab(std::filesystem::u8path(*dir)); });
}

} // namespace norvalt::cli
