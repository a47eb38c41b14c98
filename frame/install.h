// Registering a plug-in's extension in the host's plugin.ini.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "frame/plugin.h"

namespace cvx {

inline constexpr char kIniSection[] = "Corvane";
inline constexpr char kExtensionListKey[] = "corvane_extlist";
inline constexpr char kDefaultExtensionList[] = "MP3, MPC, MP+, MPP, WMA, APE, MAC";

// Adds `plugin.appendedText` to the extension list in the plugin.ini that
// belongs to the library at `libraryPath`, unless the list already contains
// `plugin.searchWord` in any case, holding the file's lock (ini_lock.h) from
// the read to the write. Nonzero when the extension is listed afterwards; 0
// when the library path is unknown, the lock could not be had within a few
// seconds, or the write failed. A list that already names the extension is
// not written at all.
int32_t RegisterExtension(const std::optional<std::string>& libraryPath, const PluginConstants& plugin);

}  // namespace cvx
