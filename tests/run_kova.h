// Runs the built kova as a separate process, the way a shell would.
#ifndef KOVA_TESTS_RUN_KOVA_H
#define KOVA_TESTS_RUN_KOVA_H

#include <string>
#include <vector>

struct RunResult {
    std::string out;  // standard output, byte for byte
    std::string err;  // standard error
    int status = -1;  // exit status, or -1 if the process did not exit normally
};

// argv[0] is passed as given, so a test can choose the program's name.
// stdoutPath, if not empty, receives standard output instead (e.g. /dev/full).
RunResult runKova(const std::vector<std::string> &argv, const std::string &stdoutPath = "");

// A directory for a test's own fixtures, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return path_; }
    // Writes `content` to a file of that name and returns its path.
    std::string write(const std::string &name, const std::string &content) const;

private:
    std::string path_;
};

std::string readFile(const std::string &path);

#endif
