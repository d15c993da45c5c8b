// norvalt: the module's work from the command line. Arguments are taken as
// UTF-8 (on Windows converted from the UTF-16 command line) and output is
// UTF-8.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "text/utf.h"
#endif

namespace {

int run(std::vector<std::string> args)
{
    CLI::App app("Determination of ethylene glycol and diethylene glycol: chromatogram files, "
                 "calculation and reports.",
                 "norvalt");
    app.require_subcommand(1);
    int exitCode = norvalt::cli::exitOk;
    norvalt::cli::addInspectCommand(app, exitCode);
    norvalt::cli::addCalcCommand(app, exitCode);
    norvalt::cli::addReportCommand(app, exitCode);
    norvalt::cli::addSampleLabCommand(app, exitCode);

    // CLI11 takes the arguments in reverse order, without the program name.
    std::vector<std::string> reversed(args.rbegin(), args.rend() - (args.empty() ? 0 : 1));
    try {
        app.parse(std::move(reversed));
    } catch (const CLI::ParseError& e) {
        // Help requests end here too, with code 0.
        return app.exit(e) == 0 ? norvalt::cli::exitOk : norvalt::cli::exitUsage;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << '\n';
        return norvalt::cli::exitFailed;
    }
    return exitCode;
}

} // namespace

#ifdef _WIN32
int main()
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::string> args;
    for (int i = 0; argv && i < argc; ++i)
        args.push_back(norvalt::utf16ToUtf8(reinterpret_cast<const char16_t*>(argv[i])));
    LocalFree(argv);

    const UINT previousCodePage = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    const int code = run(std::move(args));
    std::cout.flush();
    SetConsoleOutputCP(previousCodePage);
    return code;
}
#else
int main(int argc, char** argv)
{
    return run(std::vector<std::string>(argv, argv + argc));
}
#endif
