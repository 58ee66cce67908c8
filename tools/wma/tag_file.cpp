#include "tag_file.h"

#include <algorithm>
#include <cstring>
#include <unistd.h>

bool TFile::Read(uint64_t offset, uint64_t count, Bytes &out) const
{
    if (offset > size() || count > size() - offset)
        return false;
    out.resize(count);
    uint64_t done = 0;
    while (done < count) {
        const ssize_t got =
            pread(m_file.descriptor(), out.data() + done, count - done, off_t(offset + done));
        if (got <= 0)
            return false;
        done += uint64_t(got);
    }
    return true;
}

bool TFile::Write(uint64_t offset, const Bytes &data) const
{
    uint64_t done = 0;
    while (done < data.size()) {
        const ssize_t put = pwrite(m_file.descriptor(), data.data() + done, data.size() - done,
                                   off_t(offset + done));
        if (put <= 0)
            return false;
        done += uint64_t(put);
    }
    return true;
}

uint32_t BigEndian(const Bytes &data, size_t at, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | At(data, at + size_t(i));
    return value;
}

bool SyncSafe(const Bytes &data, size_t at, uint32_t &value)
{
    value = 0;
    for (size_t i = 0; i < 4; ++i) {
        if (At(data, at + i) & 0x80)
            return false;
        value = (value << 7) | At(data, at + i);
    }
    return true;
}

uint64_t LittleEndian(const Bytes &data, size_t at, int count)
{
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | At(data, at + size_t(i));
    return value;
}

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string FromLatin1(const Bytes &data)
{
    std::string out;
    for (const char c : data)
        AppendUtf8(out, uint8_t(c));
    return out;
}

std::string FromUtf16(const Bytes &data, bool bigEndian)
{
    std::string out;
    const auto unit = [&](size_t i) -> char32_t {
        return bigEndian ? char32_t(At(data, i) << 8 | At(data, i + 1))
                         : char32_t(At(data, i + 1) << 8 | At(data, i));
    };
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        char32_t c = unit(i);
        if (c == 0)
            break;
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < data.size() && unit(i + 2) >= 0xDC00
            && unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u32string CodePoints(const Bytes &data)
{
    std::u32string out;
    size_t i = 0;
    while (i < data.size()) {
        const uint8_t lead = At(data, i);
        size_t extra = 0;
        char32_t c = lead, least = 0;
        if ((lead & 0xE0) == 0xC0)
            extra = 1, c = lead & 0x1F, least = 0x80;
        else if ((lead & 0xF0) == 0xE0)
            extra = 2, c = lead & 0x0F, least = 0x800;
        else if ((lead & 0xF8) == 0xF0)
            extra = 3, c = lead & 0x07, least = 0x10000;
        bool valid = lead < 0x80 || extra > 0;
        valid = valid && i + extra < data.size();
        for (size_t k = 1; valid && k <= extra; ++k) {
            valid = (At(data, i + k) & 0xC0) == 0x80;
            c = (c << 6) | (At(data, i + k) & 0x3F);
        }
        valid = valid && c >= least && c <= 0x10FFFF && (c < 0xD800 || c >= 0xE000);
        out += valid ? c : char32_t(0xFFFD);
        i += valid ? extra + 1 : 1;
    }
    return out;
}

std::string ValidUtf8(const Bytes &data)
{
    std::string out;
    for (const char32_t c : CodePoints(data))
        AppendUtf8(out, c);
    return out;
}

std::string Trimmed(std::string text)
{
    const auto notSpace = [](unsigned char c) { return c > ' '; };
    text.erase(std::find_if(text.rbegin(), text.rend(), notSpace).base(), text.end());
    text.erase(text.begin(), std::find_if(text.begin(), text.end(), notSpace));
    return text;
}

TTagRead ReadTrackTags(const std::string &path, TTrackTags &tags, std::string &error)
{
    const TFile file(path);
    if (!file.usable()) {
        error = file.error();
        return TTagRead::Unusable;
    }
    Bytes head;
    if (file.Read(0, 16, head) && std::memcmp(head.data(), AsfHeaderGuid, 16) == 0)
        return ReadAsfTags(file, tags);
    return ReadMpegTags(file, tags);
}

TTagWrite WriteTrackTagsInPlace(const std::string &path, const TTrackTags &tags, std::string &error)
{
    const TFile file(path, true);
    if (!file.usable())
        return TTagWrite::Undecided; // TagLib says why
    Bytes head;
    if (file.Read(0, 16, head) && std::memcmp(head.data(), AsfHeaderGuid, 16) == 0)
        return TTagWrite::Undecided;
    return WriteMpegTags(file, tags, error);
}
