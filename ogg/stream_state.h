// libogg's stream state for one logical stream, cleared once whatever path
// the reading takes.
#pragma once

#include <ogg/ogg.h>

namespace cvx::ogg {

struct StreamState {
    StreamState() { ogg_stream_init(&os, -1); }
    ~StreamState() { ogg_stream_clear(&os); }
    StreamState(const StreamState&) = delete;
    StreamState& operator=(const StreamState&) = delete;
    ogg_stream_state os;
};

}  // namespace cvx::ogg
