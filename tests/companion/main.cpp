// SPDX-License-Identifier: GPL-3.0-or-later
// Stands in for the companion display in the launcher tests: each start adds
// one line, the folder it was started in, to the file named by
// RIGDECK_COMPANION_LOG, then exits.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main()
{
    const char *log = std::getenv("RIGDECK_COMPANION_LOG");
    if (log == nullptr || *log == '\0') {
        return 2;
    }
    std::error_code error;
    const std::string line = std::filesystem::current_path(error).string() + "\n";
    std::FILE *file = std::fopen(log, "a");
    if (file == nullptr) {
        return 1;
    }
    // One write per start, so that two instances finishing together cannot
    // interleave their lines.
    std::fwrite(line.data(), 1, line.size(), file);
    return std::fclose(file) == 0 ? 0 : 1;
}
