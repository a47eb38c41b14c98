// cvxsamples FOLDER: writes the sample library into FOLDER.
#include <cstdio>
#include <exception>

#include "tools/samples/sample_library.h"

namespace cvx::samples {

int Main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: cvxsamples FOLDER\nWrites a small library of tagged Ogg Vorbis and FLAC files.\n");
        return 2;
    }
    try {
        WriteSampleLibrary(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "cvxsamples: %s\n", error.what());
        return 1;
    }
    return 0;
}

}  // namespace cvx::samples

int main(int argc, char** argv) { return cvx::samples::Main(argc, argv); }
