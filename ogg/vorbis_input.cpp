#include "ogg/vorbis_input.h"

#include <algorithm>
#include <cerrno>

#include "ogg/read_limits.h"
#include "ogg/vorbis_file.h"

namespace cvx::ogg {

VorbisInput::VorbisInput(std::FILE* file, int64_t fileSizeBytes, const ReadingPlan& plan,
                         const FileWindows* alreadyRead)
    : view_(file, fileSizeBytes, plan.hiddenRuns, alreadyRead),
      budgetBytes_(plan.budgetBytes),
      stopInALongRun_(plan.stopInALongRun) {}

const ov_callbacks VorbisInput::kCallbacks = {Read, Seek, nullptr, Tell};

bool VorbisInput::MayGoOn() {
    if (watch_.stoppable() && view_.cost() >= budgetBytes_) stopped_ = true;
    return !stopped_;
}

size_t VorbisInput::Read(void* destination, size_t size, size_t count, void* source) {
    auto& in = *static_cast<VorbisInput*>(source);
    if (!in.MayGoOn()) {
        errno = EIO;  // libvorbisfile takes a short read with errno set for a read error
        return 0;
    }
    if (size == 0) return 0;
    auto* out = static_cast<unsigned char*>(destination);
    const int64_t at = in.view_.position();
    const int64_t left = in.view_.size() - in.view_.position();
    const size_t wanted = left <= 0 ? 0 : std::min(count, static_cast<size_t>(left) / size) * size;
    const size_t done = in.view_.Read(out, wanted);
    in.watch_.SeeRead(out, done, at);
    if (in.stopInALongRun_ && in.watch_.stoppable() && in.watch_.bytesSinceACapturePattern() >= kLongestRunRead) {
        in.stopped_ = true;
    }
    return done / size;
}

int VorbisInput::Seek(void* source, ogg_int64_t offset, int whence) {
    auto& in = *static_cast<VorbisInput*>(source);
    if (!in.MayGoOn()) return -1;
    in.view_.CountSeek();
    int64_t target;
    switch (whence) {
        case SEEK_SET: target = offset; break;
        case SEEK_CUR: target = in.view_.position() + offset; break;
        case SEEK_END: target = in.view_.size() + offset; break;
        default: return -1;
    }
    if (!in.view_.Seek(target)) return -1;
    in.watch_.SeeSeek(whence, target, in.view_.size());
    return 0;
}

long VorbisInput::Tell(void* source) {
    auto& in = *static_cast<VorbisInput*>(source);
    return in.stopped_ ? -1 : static_cast<long>(in.view_.position());
}

}  // namespace cvx::ogg
