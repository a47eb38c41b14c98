#include "tools/samples/sample_library.h"

#include <filesystem>

#include "tools/samples/bytes.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/mp4_files.h"
#include "tools/samples/ogg_files.h"
#include "tools/samples/opus_files.h"
#include "tools/samples/picture.h"

namespace cvx::samples {

using namespace cvx::flac;
namespace {

constexpr long kSampleRateHz = 44100;
constexpr int kChannels = 2;

// Tags of the shared cases, as UTF-8 Vorbis comments.
const std::vector<std::string> kLatin1Tags = {
    "TITLE=Grüße aus Köln", "ARTIST=Zoë Fauré", "ALBUM=Çà et là", "DATE=2002-10-19",
    "TRACKNUMBER=07/12",    "GENRE=Chanson",    "COMMENT=Latin-1 letters"};
const std::vector<std::string> kEuroTags = {"TITLE=Price: 5 € only", "ARTIST=Euro Sign", "ALBUM=Currencies",
                                            "DATE=2001", "TRACKNUMBER=2"};
const std::vector<std::string> kCyrillicTags = {"TITLE=Калинка", "ARTIST=Хор", "ALBUM=Русские песни",
                                                "DATE=1998", "TRACKNUMBER=3"};
const std::vector<std::string> kTwoArtistTags = {"TITLE=Duet", "ARTIST=First Voice", "ARTIST=Second Voice",
                                                 "ALBUM=Together", "DATE=2010", "TRACKNUMBER=5"};

std::vector<std::string> LongTitleTags() {
    std::string title;
    while (title.size() < 600) title += "A very long title that goes on. ";
    return {"TITLE=" + title.substr(0, 600), "ARTIST=Patience", "ALBUM=Endurance", "DATE=2020", "TRACKNUMBER=4"};
}

Bytes Ogg(const std::vector<std::string>& comments, double seconds, double toneHz) {
    VorbisStream stream;
    stream.sampleRateHz = kSampleRateHz;
    stream.channels = kChannels;
    stream.seconds = seconds;
    stream.comments = comments;
    stream.toneHz = toneHz;
    stream.quality = 0.3f;
    return EncodeVorbis(stream);
}

FlacStream FlacAudio(const std::vector<std::string>& comments, double seconds, double toneHz) {
    FlacStream stream;
    stream.sampleRateHz = kSampleRateHz;
    stream.channels = kChannels;
    stream.totalSamples = static_cast<uint64_t>(seconds * kSampleRateHz);
    stream.comments = comments;
    stream.toneHz = toneHz;
    return stream;
}

Bytes Flac(const std::vector<std::string>& comments, double seconds, double toneHz) {
    return EncodeFlac(FlacAudio(comments, seconds, toneHz));
}

Bytes Opus(const std::vector<std::string>& comments, double seconds, double toneHz) {
    return EncodeOpus({OpusLink().Channels(kChannels).Seconds(seconds).Comments(comments).Tone(toneHz)});
}

// ffmpeg's AAC or ALAC with the comments as items, and `extra` items.
Bytes M4a(const std::string& codec, const std::vector<std::string>& comments, double seconds, double toneHz,
          std::vector<Mp4Item> extra = {}) {
    std::vector<Mp4Item> items = Mp4ItemsFromComments(comments);
    items.insert(items.end(), extra.begin(), extra.end());
    return WithMp4Items(EncodeMp4(Mp4Audio().Codec(codec).Channels(kChannels).Seconds(seconds).Tone(toneHz)), items);
}

// A file cut inside its headers: no reader can make sense of it.
Bytes CutShort(Bytes file, size_t keep) {
    file.resize(std::min(file.size(), keep));
    return file;
}

}  // namespace

std::vector<SampleFile> SampleLibrary() {
    const std::vector<std::string> longTitle = LongTitleTags();
    Id3v1Fields id3;
    id3.title = "Fallback Title";
    id3.artist = "Tag Artist";
    id3.album = "From the ID3v1 Tag";
    id3.year = "1999";
    id3.comment = "ID3v1.1";
    id3.track = 9;
    id3.genre = 17;  // Rock

    return {
        {"ogg/01 Latin-1 letters.ogg", Ogg(kLatin1Tags, 4.5, 220)},
        {"ogg/02 Euro sign.ogg", Ogg(kEuroTags, 3.2, 247)},
        {"ogg/03 Cyrillic.ogg", Ogg(kCyrillicTags, 5.0, 262)},
        {"ogg/04 Long title.ogg", Ogg(longTitle, 3.0, 294)},
        {"ogg/05 Two artists.ogg", Ogg(kTwoArtistTags, 3.5, 330)},
        {"ogg/06 Chained.ogg", ChainedOgg(3.0, 4.0, {"TITLE=First Link", "ARTIST=Chain", "ALBUM=Links", "DATE=2005",
                                                     "TRACKNUMBER=6"},
                                          {"TITLE=Second Link", "ARTIST=Chain"}, 349)},
        {"ogg/07 Damaged.ogg", CutShort(Ogg(kLatin1Tags, 3.0, 392), 200)},
        {"ogg/08 Opus named ogg.ogg", Opus({"TITLE=Opus in Ogg", "ARTIST=Renamed", "ALBUM=Streams", "DATE=2019",
                                            "TRACKNUMBER=8", "GENRE=Jazz"},
                                           2.5, 440)},
        {"flac/01 Latin-1 letters.flac", Flac(kLatin1Tags, 4.5, 220)},
        {"flac/02 Euro sign.flac", Flac(kEuroTags, 3.2, 247)},
        {"flac/03 Cyrillic.flac", Flac(kCyrillicTags, 5.0, 262)},
        {"flac/04 Long title.flac", Flac(longTitle, 3.0, 294)},
        {"flac/05 Two artists.flac", Flac(kTwoArtistTags, 3.5, 330)},
        {"flac/06 Two comment blocks.flac",
         FlacWithTwoCommentBlocks({"TITLE=Split", "ARTIST=Block One", "DATE=2011"},
                                  {"ARTIST=Block Two", "ALBUM=Two Blocks", "TRACKNUMBER=6"},
                                  FlacAudio({}, 3.0, 349))},
        {"flac/07 ID3v1 fallback.flac",
         WithId3v1(Flac({"TITLE=Vorbis Title", "ARTIST=Vorbis Artist", "DATE=2012"}, 3.0, 392), Id3v1Tag(id3))},
        {"opus/01 Latin-1 letters.opus", Opus(kLatin1Tags, 4.5, 220)},
        {"opus/02 Euro sign.opus", Opus(kEuroTags, 3.2, 247)},
        {"opus/03 Cyrillic.opus", Opus(kCyrillicTags, 5.0, 262)},
        {"opus/04 Long title.opus", Opus(longTitle, 3.0, 294)},
        {"opus/05 Two artists.opus", Opus(kTwoArtistTags, 3.5, 330)},
        {"opus/06 Chained.opus",
         EncodeOpus({OpusLink().Channels(kChannels).Seconds(3.0).Tone(349)
                         .Comments({"TITLE=First Link", "ARTIST=Chain", "ALBUM=Links", "DATE=2005", "TRACKNUMBER=6"}),
                     OpusLink().Channels(kChannels).Seconds(4.0).Tone(392).Comments({"TITLE=Second Link"})})},
        {"opus/07 Damaged.opus", CutShort(Opus(kLatin1Tags, 3.0, 392), 200)},
        {"m4a/01 Latin-1 letters.m4a", M4a("aac", kLatin1Tags, 4.5, 220)},
        {"m4a/02 Euro sign.m4a", M4a("aac", kEuroTags, 3.2, 247)},
        {"m4a/03 Cyrillic.m4a", M4a("alac", kCyrillicTags, 5.0, 262)},
        {"m4a/04 Long title.m4a", M4a("aac", longTitle, 3.0, 294)},
        {"m4a/05 Two artists.m4a", M4a("alac", kTwoArtistTags, 3.5, 330)},
        {"m4a/06 Genre number and cover.m4a",
         M4a("aac", {"TITLE=Numbered Genre", "ARTIST=Cover Artist", "DATE=2003-05-01T07:00:00Z", "TRACKNUMBER=6"}, 3.0,
             349, {Mp4Item::Genre(18), Mp4Item::Cover(JpegLikeBytes(20000, 6))})},
        {"m4a/07 Damaged.m4a", CutShort(M4a("aac", kLatin1Tags, 3.0, 392), 200)},
        {"notes.txt", Bytes{'N', 'o', 't', ' ', 'a', 'u', 'd', 'i', 'o', '.', '\n'}},
    };
}

void WriteSampleLibrary(const std::string& folder) {
    for (const SampleFile& sample : SampleLibrary()) {
        const std::filesystem::path path = std::filesystem::path(folder) / sample.relativePath;
        std::filesystem::create_directories(path.parent_path());
        WriteBytes(path.string(), sample.bytes);
    }
}

}  // namespace cvx::samples
