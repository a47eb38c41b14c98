// The OGG plug-in's constants and reader for the shared frame.
#include <new>

#include "frame/plugin.h"
#include "ogg/vorbis_file_info.h"

// The frame declares these two in cvx; each plug-in defines them once.
namespace cvx {

const PluginConstants kPluginConstants = {"OGG", "ogg", ", OGG"};

FileInfo* NewPluginFileInfo() noexcept { return new (std::nothrow) HostFileInfo<ogg::VorbisFileInfo>(); }

}  // namespace cvx
