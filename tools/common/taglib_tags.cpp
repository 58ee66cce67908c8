#include "common/tool_common.h"
#include "common/track_tags.h"

#include <taglib/apetag.h>
#include <taglib/asffile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>

#include <cstring>
#include <memory>
#include <new>
#include <unistd.h>

namespace {

const char ComposerFrame[] = "TCOM";
const char ComposerAttribute[] = "WM/Composer";

enum class Kind { Mpeg, Asf };

// A plain file opened for TagLib, and what its first bytes say it is. TagLib is handed the
// descriptor, not the path, so that it reads the very file that was checked.
struct TOpened {
    std::unique_ptr<TagLib::FileStream> stream;
    Kind kind = Kind::Mpeg;
};

bool Open(const std::string &path, bool writable, TOpened &opened, std::string &error)
{
    auto file = std::make_unique<TPlainFile>(path, writable);
    if (!file->isOpen() && writable)
        file = std::make_unique<TPlainFile>(path); // a read-only file, reported as such later
    if (!file->isOpen()) {
        error = "cannot open the file: " + file->error();
        return false;
    }
    unsigned char head[sizeof AsfHeaderGuid] = {};
    if (pread(file->descriptor(), head, sizeof head, 0) == sizeof head
        && std::memcmp(head, AsfHeaderGuid, sizeof head) == 0)
        opened.kind = Kind::Asf;
    const int descriptor = file->Release();
    opened.stream = std::make_unique<TagLib::FileStream>(descriptor, !writable);
    if (opened.stream->isOpen())
        return true;
    close(descriptor);
    error = "cannot open the file";
    return false;
}

TagLib::String Tag(const std::string &text)
{
    return TagLib::String(text, TagLib::String::UTF8);
}

std::string Text(const TagLib::String &text)
{
    return text.to8Bit(true);
}

// TagLib takes any file with an ID3 tag or none for MPEG; only real audio frames make it one.
bool IsMpegAudio(TagLib::MPEG::File &file, std::string &error)
{
    if (!file.isValid()) {
        error = "cannot open the file";
        return false;
    }
    if (file.firstFrameOffset() < 0) {
        error = "not an MP3 or WMA file";
        return false;
    }
    return true;
}

bool IsAsf(TagLib::ASF::File &file, std::string &error)
{
    if (!file.isValid() || !file.tag()) {
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

void GetBasicTags(const TagLib::Tag *tag, TTrackTags &tags)
{
    tags.Name = Text(tag->title());
    tags.Album = Text(tag->album());
    tags.Artist = Text(tag->artist());
}

bool WriteMpeg(TagLib::IOStream *stream, const TTrackTags &tags, std::string &error)
{
    TagLib::MPEG::File file(stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!IsMpegAudio(file, error) || !Writable(file, error))
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

bool WriteAsf(TagLib::IOStream *stream, const TTrackTags &tags, std::string &error)
{
    TagLib::ASF::File file(stream, false);
    if (!IsAsf(file, error) || !Writable(file, error))
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

// Each text comes from the first of the ID3v2, APE and ID3v1 tags that has it. A file with no
// audio frames still counts when its tags hold one of the texts: a tag-only or cut file.
bool ReadMpeg(TagLib::IOStream *stream, TTrackTags &tags, std::string &error)
{
    TagLib::MPEG::File file(stream, TagLib::ID3v2::FrameFactory::instance(), false);
    if (!file.isValid()) {
        error = "cannot open the file";
        return false;
    }
    GetBasicTags(file.tag(), tags);
    // properties() is no virtual function: each tag's own is called.
    if (file.ID3v2Tag())
        tags.Composer = Text(file.ID3v2Tag()->properties()["COMPOSER"].toString());
    if (file.APETag() && tags.Composer.empty())
        tags.Composer = Text(file.APETag()->properties()["COMPOSER"].toString());
    return !tags.empty() || IsMpegAudio(file, error);
}

bool ReadAsf(TagLib::IOStream *stream, TTrackTags &tags, std::string &error)
{
    TagLib::ASF::File file(stream, false);
    if (!IsAsf(file, error))
        return false;
    GetBasicTags(file.tag(), tags);
    const TagLib::ASF::AttributeList composers = file.tag()->attribute(ComposerAttribute);
    tags.Composer = composers.isEmpty() ? std::string() : Text(composers.front().toString());
    return true;
}

// Opens the file and runs the action for its kind; TagLib's exceptions become failures.
template <typename Mpeg, typename Asf>
bool WithTagLib(const std::string &path, bool writable, std::string &error, Mpeg mpeg, Asf asf)
{
    try {
        TOpened opened;
        if (!Open(path, writable, opened, error))
            return false;
        return opened.kind == Kind::Asf ? asf(opened.stream.get()) : mpeg(opened.stream.get());
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
    return WithTagLib(
        path, true, error, [&](TagLib::IOStream *s) { return WriteMpeg(s, tags, error); },
        [&](TagLib::IOStream *s) { return WriteAsf(s, tags, error); });
}

bool ReadTrackTagsWithTagLib(const std::string &path, TTrackTags &tags, std::string &error)
{
    return WithTagLib(
        path, false, error, [&](TagLib::IOStream *s) { return ReadMpeg(s, tags, error); },
        [&](TagLib::IOStream *s) { return ReadAsf(s, tags, error); });
}
