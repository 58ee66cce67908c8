// MP3 and WMA files as the tag tool's own reader reads them, whatever they hold: only
// well-formed UTF-8 reaches the results file.

#include "fuzz_support.h"
#include "wma/tag_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TInputFile file;
    file.Write(data, size);
    TTrackTags tags;
    std::string error;
    FUZZ_CHECK(ReadTrackTags(file.Path(), tags, error) != TTagRead::Unusable);
    for (const std::string *text : {&tags.Name, &tags.Album, &tags.Composer, &tags.Artist})
        FUZZ_CHECK(ValidUtf8(*text) == *text);
    return 0;
}
