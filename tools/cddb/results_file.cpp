#include "results_file.h"

#include "common/tool_common.h"
#include "common/tool_protocol.h"

namespace {

// The number of bytes of the UTF-8 sequence that starts with lead, or 0 for no lead byte.
size_t SequenceLength(unsigned char lead)
{
    return lead < 0x80        ? 1
        : (lead >> 5) == 0x6  ? 2
        : (lead >> 4) == 0xE  ? 3
        : (lead >> 3) == 0x1E ? 4
                              : 0;
}

bool IsUtf8(const std::string &text)
{
    for (size_t i = 0; i < text.size();) {
        const size_t length = SequenceLength(static_cast<unsigned char>(text[i]));
        if (length == 0 || i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace

std::string Utf8Text(const std::string &text)
{
    if (IsUtf8(text))
        return text;
    std::string utf8;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += char(0xC0 | byte >> 6);
            utf8 += char(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

bool WriteResults(const std::string &path, const TDiscToc &toc,
                  const std::vector<TDescription> &descriptions)
{
    TExchangeFile results;
    results.Set(ToolProtocol::ResultsSection, ToolProtocol::CountKey,
                std::to_string(descriptions.size()));
    for (size_t i = 0; i < descriptions.size(); ++i) {
        const std::string section = ToolProtocol::DescriptionSectionPrefix + std::to_string(i);
        const TDescription &description = descriptions[i];
        results.Set(section.c_str(), ToolProtocol::AlbumKey, Utf8Text(description.Album));
        results.Set(section.c_str(), ToolProtocol::ArtistKey, Utf8Text(description.Artist));
        for (int track = toc.First; track <= toc.Last(); ++track) {
            const auto title = description.Titles.find(track);
            const std::string key = ToolProtocol::TrackTitleKeyPrefix + std::to_string(track - 1);
            results.Set(section.c_str(), key.c_str(),
                        title == description.Titles.end() ? "" : Utf8Text(title->second));
        }
    }
    return results.Save(path);
}
