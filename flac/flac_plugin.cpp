// The FLAC plug-in's constants and reader for the shared frame.
#include <new>

#include "flac/flac_file_info.h"
#include "frame/plugin.h"

// The frame declares these two in cvx; each plug-in defines them once.
namespace cvx {

const PluginConstants kPluginConstants = {"FLAC", "flac", ", FLAC"};

FileInfo* NewPluginFileInfo() noexcept { return new (std::nothrow) HostFileInfo<flac::FlacFileInfo>(); }

}  // namespace cvx
