# SPDX-License-Identifier: GPL-3.0-or-later
# What a source file of RIGDECK is, for the format and licence checks
# (format.sh, spdx.sh): sourced, run from the top of the repository. Files
# git tracks, or would track (new and not ignored), one a line; a file moved
# or deleted but not yet committed may be listed without being there.

# C++: the program, its tests, the simulated radio's server and the benchmark.
cpp_sources()
{
    git ls-files --cached --others --exclude-standard -- \
        'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'bench/*.h' |
        sort -u
}

# Scripts and build files anywhere in the repository: their comments start with "#".
hash_sources()
{
    git ls-files --cached --others --exclude-standard -- '*.sh' '*.py' 'CMakeLists.txt' '*/CMakeLists.txt' '*.cmake' |
        sort -u
}
