// The OPUS plug-in's constants and reader for the shared frame.
#include <new>

#include "frame/plugin.h"
#include "opus/opus_file_info.h"

// The frame declares these two in cvx; each plug-in defines them once.
namespace cvx {

const PluginConstants kPluginConstants = {"OPUS", "opus", ", OPUS"};

FileInfo* NewPluginFileInfo() noexcept { return new (std::nothrow) HostFileInfo<opus::OpusFileInfo>(); }

}  // namespace cvx
