// Running a program as a user does, for the tests of the command-line host: a command line and
// standard input in; the exit status, standard output and standard error out. Each test gets a
// scratch folder of its own, since test programs run in parallel.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// The text with every `from` replaced by `to`.
inline std::string Replace(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

struct ProgramRun {
    int status = -1;  // the exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;

    // Standard output cut into lines (without their line feeds).
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream stream(out);
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

// A folder that lives as long as the object.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix) {
        static std::atomic<int> counter{0};
        fPath = std::filesystem::temp_directory_path() /
                (prefix + "_" + std::to_string(getpid()) + "_" + std::to_string(++counter));
        std::filesystem::create_directories(fPath);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(fPath, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return fPath; }

    // Writes a file into the folder and answers its path.
    std::string Write(const std::string& name, const std::string& text) const {
        const std::filesystem::path path = fPath / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

private:
    std::filesystem::path fPath;
};

// Runs the command line (a program and its arguments, quoted where needed) with the input as its
// standard input; its outputs pass through files in the folder.
inline ProgramRun RunProgram(const ScratchFolder& folder, const std::string& commandLine,
                             const std::string& input) {
    const std::string in = folder.Write("stdin.txt", input);
    const std::filesystem::path out = folder.Path() / "stdout.txt";
    const std::filesystem::path err = folder.Path() / "stderr.txt";
    const std::string command =
        commandLine + " < '" + in + "' > '" + out.string() + "' 2> '" + err.string() + "'";
    const int raw = std::system(command.c_str());
    ProgramRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}

}  // namespace testsupport
