#include "common/track_tags.h"

#include <taglib/asffile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <cstring>
#include <fstream>
#include <new>
#include <sys/stat.h>

namespace {

const char ComposerFrame[] = "TCOM";
const char ComposerAttribute[] = "WM/Composer";

enum class Kind { Unusable, Mpeg, Asf };

// Only a plain file is opened: opening a named pipe would wait for a writer forever.
Kind KindOf(const std::string &path)
{
    struct stat info = {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return Kind::Unusable;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return Kind::Unusable;
    char head[sizeof AsfHeaderGuid] = {};
    file.read(head, sizeof head);
    if (file.gcount() == sizeof head && std::memcmp(head, AsfHeaderGuid, sizeof head) == 0)
        return Kind::Asf;
    return Kind::Mpeg;
}

TagLib::String Tag(const std::string &text)
{
    return TagLib::String(text, TagLib::String::UTF8);
}

// TagLib takes any file with an ID3 tag or none for MPEG; only real audio frames make it one.
bool OpenMpeg(TagLib::MPEG::File &file, std::string &error)
{
    if (!file.isOpen() || !file.isValid()) {
        error = "cannot open the file";
        return false;
    }
    if (file.firstFrameOffset() < 0) {
        error = "not an MP3 or WMA file";
        return false;
    }
    return true;
}

bool OpenAsf(TagLib::ASF::File &file, std::string &error)
{
    if (!file.isOpen() || !file.isValid() || !file.tag()) {
        error = "damaged WMA file";
        return false;
    }
    return true;
}

template <typename File>
bool Writable(const File &file, std::string &error)
{
    if (!file.readOnly())
        return true;
    error = "the file is read-only";
    return false;
}

void SetBasicTags(TagLib::Tag *tag, const TTrackTags &tags)
{
    tag->setTitle(Tag(tags.Name));
    tag->setAlbum(Tag(tags.Album));
    tag->setArtist(Tag(tags.Artist));
}

bool WriteMpeg(const std::string &path, const TTrackTags &tags, std::string &error)
{
    TagLib::MPEG::File file(path.c_str(), false);
    if (!OpenMpeg(file, error) || !Writable(file, error))
        return false;
    TagLib::ID3v2::Tag *id3v2 = file.ID3v2Tag(true);
    SetBasicTags(id3v2, tags);
    id3v2->removeFrames(ComposerFrame);
    if (!tags.Composer.empty()) {
        auto *frame =
            new TagLib::ID3v2::TextIdentificationFrame(ComposerFrame, TagLib::String::UTF8);
        frame->setText(Tag(tags.Composer));
        id3v2->addFrame(frame);
    }
    int kinds = TagLib::MPEG::File::ID3v2;
    if (file.hasID3v1Tag()) {
        SetBasicTags(file.ID3v1Tag(), tags);
        kinds |= TagLib::MPEG::File::ID3v1;
    }
    // Version 2.3 is the one every player reads; other tags of the file stay as they are.
    if (!file.save(kinds, TagLib::File::StripNone, TagLib::ID3v2::v3,
                   TagLib::File::DoNotDuplicate)) {
        error = "cannot write the tags";
        return false;
    }
    return true;
}

bool WriteAsf(const std::string &path, const TTrackTags &tags, std::string &error)
{
    TagLib::ASF::File file(path.c_str(), false);
    if (!OpenAsf(file, error) || !Writable(file, error))
        return false;
    TagLib::ASF::Tag *tag = file.tag();
    SetBasicTags(tag, tags);
    if (tags.Composer.empty())
        tag->removeItem(ComposerAttribute);
    else
        tag->setAttribute(ComposerAttribute, TagLib::ASF::Attribute(Tag(tags.Composer)));
    if (!file.save()) {
        error = "cannot write the tags";
        return false;
    }
    return true;
}

template <typename Action>
bool Guarded(Action action, std::string &error)
{
    try {
        return action();
    } catch (const std::bad_alloc &) {
        error = "the file is damaged (out of memory)";
    } catch (const std::exception &e) {
        error = e.what();
    }
    return false;
}

} // namespace

bool WriteTrackTags(const std::string &path, const TTrackTags &tags, std::string &error)
{
    return Guarded(
        [&] {
            switch (KindOf(path)) {
            case Kind::Asf: return WriteAsf(path, tags, error);
            case Kind::Mpeg: return WriteMpeg(path, tags, error);
            case Kind::Unusable: break;
            }
            error = "cannot open the file";
            return false;
        },
        error);
}
