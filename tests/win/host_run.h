#pragma once
// The stand-in host run as a process on a plug-in DLL, with its log and
// profile file in a folder of the test's own.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "profile_file.h"
#include "text/utf.h"

namespace fs = std::filesystem;

namespace norvalt::test {

// What the host's log shows of norvalt.dll: its information record (48
// bytes on i686, where pointers are 4), its Russian menu item and the
// caption of its message boxes.
inline const std::string norvaltInfo =
    "info norvalt 0x01000100 size " + std::to_string(sizeof(void*) == 4 ? 48 : 80);
inline const std::string russianMenu =
    "menu Данные/Расчёты/Определение массовой доли этиленгликоля и диэтиленгликоля -> norvalt/MenuCommand";
inline const std::string norvaltCaption = "Плагин: Определение массовой доли этиленгликоля и диэтиленгликоля";

inline fs::path binFolder()
{
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path();
}

struct HostRun {
    DWORD exitCode = 0;
    std::vector<std::string> log;
    norvalt::ProfileEntries profile;
    fs::path folder;

    // The value the profile file holds under a full key path.
    std::string profileEntry(const std::u16string& path) const
    {
        auto it = profile.find(path);
        return it == profile.end() ? "(absent)" : norvalt::utf16ToUtf8(it->second);
    }
    // What the probe plug-in wrote under "probe/KEY".
    std::string profileValue(const std::u16string& key) const { return profileEntry(u"probe/" + key); }
    // What the module wrote under its prefix.
    std::string moduleSetting(const std::u16string& key) const { return profileEntry(u"plugins\\kestrin\\" + key); }
    // Whether `expected` occur in the log in this order (other lines
    // between); an expected line ending in '*' matches every line that
    // begins with the rest.
    bool logHasInOrder(const std::vector<std::string>& expected) const
    {
        auto matches = [](const std::string& line, const std::string& pattern) {
            if (!pattern.empty() && pattern.back() == '*')
                return line.compare(0, pattern.size() - 1, pattern, 0, pattern.size() - 1) == 0;
            return line == pattern;
        };
        std::size_t next = 0;
        for (const std::string& line : log)
            if (next < expected.size() && matches(line, expected[next])) ++next;
        return next == expected.size();
    }
    bool logHas(const std::string& line) const { return logHasInOrder({line}); }
    // How many log lines begin with `prefix`.
    int linesBeginning(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& line : log)
            n += line.rfind(prefix, 0) == 0;
        return n;
    }
};

class HostRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() /
                  ("norvalt-hostsim-" + std::to_string(GetCurrentProcessId()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    // hostsim with `plugin` (none: the arguments name it), its log and
    // profile in the test's folder.
    HostRun run(const std::wstring& arguments, const fs::path& plugin)
    {
        HostRun result;
        result.folder = folder_;
        const fs::path log = folder_ / "host.log";
        const fs::path profile = folder_ / "profile";
        std::wstring command = L"\"" + (binFolder() / "hostsim.exe").wstring() + L"\" --log \"" + log.wstring() +
                               L"\" --profile \"" + profile.wstring() + L"\" ";
        if (!plugin.empty()) command += L"--plugin \"" + plugin.wstring() + L"\" ";
        command += arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
            ADD_FAILURE() << "cannot start hostsim: " << GetLastError();
            return result;
        }
        if (WaitForSingleObject(process.hProcess, 300000) != WAIT_OBJECT_0) {
            TerminateProcess(process.hProcess, 99);
            ADD_FAILURE() << "hostsim did not end";
        }
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        std::ifstream in(log, std::ios::binary);
        for (std::string line; std::getline(in, line);)
            result.log.push_back(line);
        result.profile = norvalt::readProfileFile(profile);
        return result;
    }

    // The plug-in itself on the sample laboratory, written to the test's folder.
    HostRun runOnSampleLab(const std::wstring& arguments)
    {
        return run(L"--sample-lab \"" + (folder_ / "lab").wstring() + L"\" " + arguments, binFolder() / "norvalt.dll");
    }

    fs::path folder_;
};

} // namespace norvalt::test
