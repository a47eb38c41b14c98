// The M4A reader's Open on arbitrary bytes, against TagLib's own reading of
// them: MP4::File over the path, lengthInMilliseconds() / 1000 and the items,
// through the same record rules. TagLib here is built with the sanitizers,
// undefined behaviour among them, so a file the reader's walk of the box
// tree (m4a/atom_tree.h) lets through to TagLib's properties and TagLib
// cannot read without undefined behaviour stops the run. The walk is held
// against TagLib's own tree (MP4::Atoms): the media header it finds, the
// nesting it refuses, and when it keeps the properties from TagLib.
#include <taglib/mp4atom.h>
#include <taglib/mp4file.h>

#include <algorithm>
#include <climits>
#include <cstdio>

#include "frame/platform/regular_file.h"
#include "fuzz/open_fuzzer.h"
#include "m4a/atom_tree.h"
#include "m4a/mp4_layout.h"
#include "m4a/mp4_file_info.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::fuzz {

namespace {

using TagLib::MP4::Atom;
using TagLib::MP4::AtomList;

bool IsContainer(const Atom& atom) {
    for (const char* type : m4a::kContainerTypes) {
        if (atom.name == type) return true;
    }
    return false;
}

// How deep TagLib's containers nest.
int Depth(const AtomList& atoms) {
    int deepest = 0;
    for (const Atom* atom : atoms) {
        if (IsContainer(*atom)) deepest = std::max(deepest, 1 + Depth(atom->children));
    }
    return deepest;
}

// calculateMdatLength's sum (mp4properties.cpp), kept from overflowing.
long long MdatTotal(const AtomList& atoms) {
    long long total = 0;
    for (const Atom* atom : atoms) {
        const long long own = atom->name == "mdat" ? atom->length : 0;
        if (__builtin_add_overflow(total, own, &total) ||
            __builtin_add_overflow(total, MdatTotal(atom->children), &total)) {
            return LLONG_MAX;
        }
    }
    return total;
}

// MP4::Properties::read's lines up to the length, over TagLib's own tree.
m4a::MediaDuration MediaOf(TagLib::File& file, TagLib::MP4::Atoms& atoms) {
    m4a::MediaDuration media;
    Atom* moov = atoms.find("moov");
    if (!moov) return media;
    Atom* trak = nullptr;
    for (Atom* candidate : moov->findall("trak")) {
        Atom* hdlr = candidate->find("mdia", "hdlr");
        if (!hdlr) return media;
        file.seek(hdlr->offset);
        if (file.readBlock(hdlr->length).containsAt("soun", 16)) {
            trak = candidate;
            break;
        }
    }
    if (!trak) return media;
    Atom* mdhd = trak->find("mdia", "mdhd");
    if (!mdhd) return media;
    file.seek(mdhd->offset);
    const TagLib::ByteVector data = file.readBlock(mdhd->length);
    if (data.at(8) == 1) {
        if (data.size() < 44) return media;
        media.timescale = data.toUInt(28U);
        media.duration = data.toLongLong(32U);
    } else {
        if (data.size() < 32) return media;
        media.timescale = data.toUInt(20U);
        media.duration = data.toUInt(24U);
    }
    media.found = true;
    return media;
}

// A file to hand TagLib::MP4::Atoms: the file's own reading of the path.
class ReadOnlyFile : public TagLib::File {
public:
    explicit ReadOnlyFile(const char* path) : TagLib::File(path) {}
    TagLib::Tag* tag() const override { return nullptr; }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

void CheckAgainstTagLib(const m4a::Mp4FileInfo& reader, const char* path, size_t size, int32_t result) {
    const FilePtr opened = OpenRegularFileForReading(path);
    CHECK(opened != nullptr);
    m4a::FileStream stream(opened.get(), static_cast<int64_t>(size), path);
    const m4a::AtomTree tree = m4a::WalkAtomTree(stream);
    if (tree.verdict == m4a::TreeVerdict::kPastTwoGiB) {
        CHECK(result == 1);  // the Windows build's TagLib refuses it or cannot count it
        return;
    }
    // The nesting refused is TagLib's, once no box is past 2 GiB.
    const m4a::AtomTree unlimited = m4a::WalkAtomTree(stream, INT_MAX);
    if (unlimited.verdict == m4a::TreeVerdict::kPastTwoGiB) {
        CHECK(result == 1);
        return;
    }
    ReadOnlyFile file(path);
    TagLib::MP4::Atoms atoms(&file);
    CHECK((tree.verdict == m4a::TreeVerdict::kTooDeep) == (Depth(atoms.atoms) > m4a::kDeepestNesting));
    if (tree.verdict == m4a::TreeVerdict::kTooDeep) {
        CHECK(result == 1);
        return;
    }
    const m4a::MediaDuration media = MediaOf(file, atoms);
    CHECK(media.found == tree.media.found);
    CHECK(media.timescale == tree.media.timescale && media.duration == tree.media.duration);
    const bool tagsOnly = m4a::MediaMilliseconds(media) >= 2147483648.0 || MdatTotal(atoms.atoms) > LLONG_MAX / 8;
    CHECK(tagsOnly == (tree.verdict == m4a::TreeVerdict::kTagLibReadsTagsOnly));

    testing::PrescribedMp4FileInfo prescribed(!tagsOnly);
    int32_t expected = 0;
    const size_t lostByTagLib = BytesKeptBy([&] { expected = prescribed.Open(path); });
    CHECK(result == expected);
    if (tagsOnly && result == 0) {
        TagRecord withLength = prescribed.record();
        withLength.length = m4a::WholeSeconds(media);
        CHECK(testing::SameFields(reader.record(), withLength));
    } else {
        CHECK(testing::SameFields(reader.record(), prescribed.record()));
    }
    CheckLosesNoMoreThan<m4a::Mp4FileInfo>(path, lostByTagLib);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzOpen<m4a::Mp4FileInfo>(data, size, CheckAgainstTagLib);
}

}  // namespace cvx::fuzz
