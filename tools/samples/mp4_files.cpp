#include "tools/samples/mp4_files.h"

#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <stdexcept>
#include <tuple>

#include "tools/samples/tone.h"

namespace cvx::samples {

namespace {

void AppendText(Bytes& bytes, const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }

Bytes Zeros(size_t count) { return Bytes(count, 0); }

Bytes Joined(std::initializer_list<Bytes> parts) { return Concatenated(std::vector<Bytes>(parts)); }

Bytes FileType() {
    Bytes payload;
    AppendText(payload, "M4A ");
    AppendBigEndian(payload, 0, 4);  // minor version
    AppendText(payload, "M4A mp42isom");
    return Mp4Box("ftyp", payload);
}

// mvhd version 0: times, timescale, duration, rate, volume, reserved,
// matrix, pre-defined, next track id.
Bytes MovieHeader(const Mp4Layout& layout) {
    Bytes payload;
    AppendBigEndian(payload, 0, 8);  // creation and modification times
    AppendBigEndian(payload, layout.timescale, 4);
    AppendBigEndian(payload, static_cast<uint32_t>(layout.duration), 4);
    AppendBigEndian(payload, 0x00010000, 4);  // rate 1.0
    AppendBigEndian(payload, 0x0100, 2);      // volume 1.0
    Bytes rest = Zeros(10 + 36 + 24);
    payload.insert(payload.end(), rest.begin(), rest.end());
    AppendBigEndian(payload, 3, 4);
    return Mp4FullBox("mvhd", 0, 0, payload);
}

Bytes TrackHeader(uint32_t trackId) {
    Bytes payload;
    AppendBigEndian(payload, 0, 8);
    AppendBigEndian(payload, trackId, 4);
    Bytes rest = Zeros(4 + 4 + 8 + 2 + 2 + 2 + 2 + 36 + 4 + 4);
    payload.insert(payload.end(), rest.begin(), rest.end());
    return Mp4FullBox("tkhd", 0, 7, payload);
}

// mdhd: times, timescale u32, duration (u32 in version 0, u64 in 1),
// language u16, pre-defined u16.
Bytes MediaHeader(int version, uint32_t timescale, uint64_t duration) {
    Bytes payload;
    const size_t wide = version == 1 ? 8 : 4;
    AppendBigEndian(payload, 0, 2 * wide);
    AppendBigEndian(payload, timescale, 4);
    AppendBigEndian(payload, duration, wide);
    AppendBigEndian(payload, 0x55C4, 2);  // "und"
    AppendBigEndian(payload, 0, 2);
    return Mp4FullBox("mdhd", static_cast<uint8_t>(version), 0, payload);
}

Bytes Handler(const std::string& type, const std::string& name) {
    Bytes payload;
    AppendBigEndian(payload, 0, 4);
    AppendText(payload, type);
    AppendBigEndian(payload, 0, 12);
    AppendText(payload, name);
    payload.push_back(0);
    return Mp4FullBox("hdlr", 0, 0, payload);
}

// An audio sample entry: reserved, data reference index, reserved,
// channels, sample size, compression id, packet size, rate 16.16; then the
// decoder's configuration box.
Bytes SoundSampleEntry(const std::string& type, uint32_t averageBitRate) {
    Bytes payload = Zeros(6);
    AppendBigEndian(payload, 1, 2);
    AppendBigEndian(payload, 0, 8);
    AppendBigEndian(payload, 2, 2);
    AppendBigEndian(payload, 16, 2);
    AppendBigEndian(payload, 0, 4);
    AppendBigEndian(payload, uint64_t{44100} << 16, 4);
    if (type == "alac") {
        // frame length, version, bit depth, pb, mb, kb, channels, max run,
        // max frame bytes, average bit rate, sample rate.
        Bytes config;
        AppendBigEndian(config, 4096, 4);
        for (uint8_t byte : {0, 16, 40, 10, 14, 2}) config.push_back(byte);
        AppendBigEndian(config, 255, 2);
        AppendBigEndian(config, 0, 4);
        AppendBigEndian(config, 700000, 4);
        AppendBigEndian(config, 44100, 4);
        const Bytes box = Mp4FullBox("alac", 0, 0, config);
        payload.insert(payload.end(), box.begin(), box.end());
    } else {
        // ES descriptor (tag 3) holding a decoder config (tag 4) with its
        // maximum and average bit rates, and a decoder-specific info (tag 5).
        Bytes descriptor = {0x03, 0x19, 0x00, 0x00, 0x00, 0x04, 0x11, 0x40, 0x15, 0x00, 0x00, 0x00, 0x00, 0x01, 0xF4, 0x00};
        AppendBigEndian(descriptor, averageBitRate, 4);
        for (uint8_t byte : {0x05, 0x02, 0x12, 0x10, 0x06, 0x01, 0x02}) descriptor.push_back(byte);
        const Bytes box = Mp4FullBox("esds", 0, 0, descriptor);
        payload.insert(payload.end(), box.begin(), box.end());
    }
    return Mp4Box(type, payload);
}

Bytes SampleTable(const Bytes& sampleEntry) {
    Bytes entries;
    AppendBigEndian(entries, sampleEntry.empty() ? 0 : 1, 4);
    entries.insert(entries.end(), sampleEntry.begin(), sampleEntry.end());
    const Bytes noEntries = Zeros(4);
    const Bytes noSizes = Zeros(8);
    return Mp4Box("stbl", Joined({Mp4FullBox("stsd", 0, 0, entries), Mp4FullBox("stts", 0, 0, noEntries),
                                  Mp4FullBox("stsc", 0, 0, noEntries), Mp4FullBox("stsz", 0, 0, noSizes),
                                  Mp4FullBox("stco", 0, 0, noEntries)}));
}

Bytes Track(uint32_t trackId, const std::string& handler, const Bytes& mediaHeader, const Bytes& sampleEntry) {
    const Bytes mediaInformation =
        Mp4Box("minf", Joined({handler == "soun" ? Mp4FullBox("smhd", 0, 0, Zeros(4)) : Mp4FullBox("vmhd", 0, 1, Zeros(8)),
                               SampleTable(sampleEntry)}));
    const Bytes media = Mp4Box("mdia", Joined({mediaHeader, Handler(handler, handler == "soun" ? "SoundHandler" : "VideoHandler"),
                                              mediaInformation}));
    return Mp4Box("trak", Joined({TrackHeader(trackId), media}));
}

Bytes MediaData(size_t bytes) {
    Bytes payload(bytes);
    for (size_t i = 0; i < bytes; ++i) payload[i] = static_cast<uint8_t>(i * 37 + 11);
    return Mp4Box("mdat", payload);
}

uint32_t ReadBigEndian32(const Bytes& bytes, size_t offset) {
    return uint32_t{bytes[offset]} << 24 | uint32_t{bytes[offset + 1]} << 16 | uint32_t{bytes[offset + 2]} << 8 |
           bytes[offset + 3];
}

struct BoxSpan {
    size_t offset, size;
    std::string type;
};

// The boxes from `begin` to `end`, each of a 32-bit size.
std::vector<BoxSpan> BoxesIn(const Bytes& file, size_t begin, size_t end) {
    std::vector<BoxSpan> boxes;
    while (begin + 8 <= end) {
        const size_t size = ReadBigEndian32(file, begin);
        if (size < 8 || begin + size > end) throw std::runtime_error("WithMp4Items: a box of a size it cannot follow");
        boxes.push_back({begin, size, std::string(file.begin() + begin + 4, file.begin() + begin + 8)});
        begin += size;
    }
    return boxes;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string PcmOf(const Mp4Audio& audio, uint32_t rateHz) {
    const auto frames = static_cast<uint64_t>(std::llround(audio.seconds * rateHz));
    std::string pcm;
    pcm.reserve(frames * audio.channels * 2);
    for (uint64_t i = 0; i < frames; ++i) {
        for (int channel = 0; channel < audio.channels; ++channel) {
            const auto sample = static_cast<int16_t>(std::lround(ToneSample(audio.toneHz, rateHz, i, channel) * 30000));
            pcm.push_back(static_cast<char>(sample & 0xFF));
            pcm.push_back(static_cast<char>((sample >> 8) & 0xFF));
        }
    }
    return pcm;
}

Bytes RunFfmpeg(const Mp4Audio& audio) {
    constexpr uint32_t kRateHz = 44100;
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("cvx-mp4-" + std::to_string(::getpid()) + "-" +
                                                  std::to_string(reinterpret_cast<uintptr_t>(&audio)) + ".m4a");
    const std::string command = "ffmpeg -hide_banner -loglevel error -f s16le -ar " + std::to_string(kRateHz) +
                                " -ac " + std::to_string(audio.channels) + " -i - -c:a " + audio.codec +
                                (audio.codec == "aac" ? " -b:a 128k" : "") +
                                " -map_metadata -1 -fflags +bitexact -flags:a +bitexact -f ipod -y '" + out.string() +
                                "'";
    const std::string pcm = PcmOf(audio, kRateHz);
    std::FILE* pipe = ::popen(command.c_str(), "w");
    if (!pipe) throw std::runtime_error("cannot run ffmpeg");
    const bool written = std::fwrite(pcm.data(), 1, pcm.size(), pipe) == pcm.size();
    const int status = ::pclose(pipe);
    std::ifstream in(out, std::ios::binary);
    Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(out);
    if (!written || status != 0 || bytes.empty()) {
        throw std::runtime_error("ffmpeg could not encode " + audio.codec + " (is the ffmpeg package installed?)");
    }
    return bytes;
}

}  // namespace

Mp4Item Mp4Item::Text(const std::string& type, const std::vector<std::string>& values) {
    Mp4Item item{type, {}, kMp4Utf8};
    for (const std::string& value : values) item.values.emplace_back(value.begin(), value.end());
    return item;
}

Mp4Item Mp4Item::Track(uint16_t number, uint16_t total) {
    Bytes value;
    AppendBigEndian(value, 0, 2);
    AppendBigEndian(value, number, 2);
    AppendBigEndian(value, total, 2);
    AppendBigEndian(value, 0, 2);
    return {"trkn", {value}, kMp4Implicit};
}

Mp4Item Mp4Item::Genre(uint16_t id3v1IndexPlusOne) {
    Bytes value;
    AppendBigEndian(value, id3v1IndexPlusOne, 2);
    return {"gnre", {value}, kMp4Implicit};
}

Mp4Item Mp4Item::Cover(const Bytes& jpeg) { return {"covr", {jpeg}, kMp4Jpeg}; }

std::vector<Mp4Item> Mp4ItemsFromComments(const std::vector<std::string>& comments) {
    static const std::map<std::string, std::string> kItemOf = {
        {"TITLE", "\251nam"},   {"ARTIST", "\251ART"}, {"ALBUM", "\251alb"}, {"COMMENT", "\251cmt"},
        {"GENRE", "\251gen"}, {"DATE", "\251day"}};
    std::vector<Mp4Item> items;
    for (const std::string& comment : comments) {
        const size_t equals = comment.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = Upper(comment.substr(0, equals));
        const std::string value = comment.substr(equals + 1);
        if (name == "TRACKNUMBER") {
            items.push_back(Mp4Item::Track(static_cast<uint16_t>(std::atoi(value.c_str())), 0));
            continue;
        }
        const auto type = kItemOf.find(name);
        if (type == kItemOf.end()) continue;
        auto same = items.begin();
        while (same != items.end() && same->type != type->second) ++same;
        if (same == items.end()) {
            items.push_back(Mp4Item::Text(type->second, {value}));
        } else {
            same->values.emplace_back(value.begin(), value.end());
        }
    }
    return items;
}

Bytes Mp4BoxHeader(const std::string& type, uint32_t size) {
    Bytes header;
    AppendBigEndian(header, size, 4);
    AppendText(header, type);
    return header;
}

Bytes Mp4LargeBoxHeader(const std::string& type, uint64_t size) {
    Bytes header = Mp4BoxHeader(type, 1);
    AppendBigEndian(header, size, 8);
    return header;
}

Bytes Mp4NestedBoxes(const std::string& type, int depth) {
    Bytes boxes;
    for (int level = 0; level < depth; ++level) {
        const Bytes header = Mp4BoxHeader(type, static_cast<uint32_t>(8 * (depth - level)));
        boxes.insert(boxes.end(), header.begin(), header.end());
    }
    return boxes;
}

Bytes Mp4Box(const std::string& type, const Bytes& payload) {
    Bytes box = Mp4BoxHeader(type, static_cast<uint32_t>(payload.size() + 8));
    box.insert(box.end(), payload.begin(), payload.end());
    return box;
}

Bytes Mp4FullBox(const std::string& type, uint8_t version, uint32_t flags, const Bytes& payload) {
    Bytes body;
    AppendBigEndian(body, uint32_t{version} << 24 | (flags & 0xFFFFFF), 4);
    body.insert(body.end(), payload.begin(), payload.end());
    return Mp4Box(type, body);
}

Bytes Mp4UserData(const std::vector<Mp4Item>& items) {
    Bytes list;
    for (const Mp4Item& item : items) {
        Bytes data;
        for (const Bytes& value : item.values) {
            Bytes payload;
            AppendBigEndian(payload, item.dataType, 4);
            AppendBigEndian(payload, 0, 4);  // locale
            payload.insert(payload.end(), value.begin(), value.end());
            const Bytes box = Mp4Box("data", payload);
            data.insert(data.end(), box.begin(), box.end());
        }
        const Bytes box = Mp4Box(item.type, data);
        list.insert(list.end(), box.begin(), box.end());
    }
    Bytes handler = Zeros(4);
    AppendText(handler, "mdirappl");
    AppendBigEndian(handler, 0, 9);
    return Mp4Box("udta", Mp4FullBox("meta", 0, 0, Joined({Mp4FullBox("hdlr", 0, 0, handler), Mp4Box("ilst", list)})));
}

Bytes BuildMp4(const Mp4Layout& layout) {
    Bytes tracks;
    if (layout.videoTrackFirst) {
        tracks = Track(1, "vide", MediaHeader(0, 90000, 90000 * 7), {});
    }
    const Bytes sound = Track(2, "soun", MediaHeader(layout.mediaHeaderVersion, layout.timescale, layout.duration),
                              SoundSampleEntry(layout.sampleEntry, layout.averageBitRate));
    tracks.insert(tracks.end(), sound.begin(), sound.end());
    const Bytes movie = Mp4Box("moov", Joined({MovieHeader(layout), tracks, Mp4UserData(layout.items)}));
    const Bytes data = MediaData(layout.mdatBytes);
    return layout.mdatAfterMoov ? Joined({FileType(), movie, data}) : Joined({FileType(), data, movie});
}

Bytes EncodeMp4(const Mp4Audio& audio) {
    // Encoding takes ffmpeg a while; a process asks for few distinct files.
    static std::mutex mutex;
    static std::map<std::tuple<std::string, double, int, double>, Bytes> encoded;
    const auto key = std::make_tuple(audio.codec, audio.seconds, audio.channels, audio.toneHz);
    {
        const std::lock_guard<std::mutex> lock(mutex);
        const auto found = encoded.find(key);
        if (found != encoded.end()) return found->second;
    }
    Bytes bytes = RunFfmpeg(audio);
    const std::lock_guard<std::mutex> lock(mutex);
    return encoded.emplace(key, std::move(bytes)).first->second;
}

Bytes WithMp4Items(const Bytes& file, const std::vector<Mp4Item>& items) {
    const std::vector<BoxSpan> top = BoxesIn(file, 0, file.size());
    Bytes out;
    bool mdatSeen = false;
    for (const BoxSpan& box : top) {
        mdatSeen = mdatSeen || box.type == "mdat";
        if (box.type != "moov") {
            out.insert(out.end(), file.begin() + box.offset, file.begin() + box.offset + box.size);
            continue;
        }
        // Growing moov moves nothing its chunk offsets point at only when
        // the media data comes first.
        if (!mdatSeen) throw std::runtime_error("WithMp4Items: moov before mdat");
        Bytes children;
        for (const BoxSpan& child : BoxesIn(file, box.offset + 8, box.offset + box.size)) {
            if (child.type == "udta") continue;
            children.insert(children.end(), file.begin() + child.offset, file.begin() + child.offset + child.size);
        }
        const Bytes userData = Mp4UserData(items);
        children.insert(children.end(), userData.begin(), userData.end());
        const Bytes movie = Mp4Box("moov", children);
        out.insert(out.end(), movie.begin(), movie.end());
    }
    return out;
}

}  // namespace cvx::samples
