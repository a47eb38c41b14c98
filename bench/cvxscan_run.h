// Timing cvxscan, the reference host, against the benchmark's driver.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bench/readers.h"

namespace cvx::bench {

struct CvxscanBench {
    std::string cvxscan, pluginFolder, corpusFolder;
    size_t files;  // in each format's folder
    struct Format {
        std::string extension;  // "flac", "ogg"
        Reader* reader;         // the plug-in's driver
        const std::vector<std::string>* files;
    };
    std::vector<Format> formats;
};

// Prints, for each format, cvxscan's time over a folder of `bench.files`
// files against the driver's over the same files.
void TimeCvxscan(const CvxscanBench& bench, int rounds);

}  // namespace cvx::bench
