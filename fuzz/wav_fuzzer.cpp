// WAV files as the converter reads them, whatever their headers say: a conversion succeeds or
// fails with a reason.

#include "fuzz_support.h"
#include "wav2wma/wav_encoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TInputFile wav, wma;
    static const volatile std::sig_atomic_t stop = 0;
    wav.Write(data, size);
    const TPlainFile input(wav.Path());
    FUZZ_CHECK(input.isOpen());
    std::string error;
    FUZZ_CHECK(EncodeWavToWma(input, wma.Path(), stop, error) || !error.empty());
    return 0;
}
