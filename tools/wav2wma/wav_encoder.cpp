#include "wav_encoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <cstring>

namespace {

std::string AvError(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// FFmpeg asks this while it waits for a read or write, so a stop request ends a blocked read
// of a slow or stalled source too.
int StopRequested(void *stop)
{
    return *static_cast<const volatile std::sig_atomic_t *>(stop) != 0;
}

int OutputRate(int inputRate)
{
    for (const int rate : {22050, 32000, 44100, 48000}) {
        if (rate == inputRate)
            return rate;
    }
    return 44100;
}

// Owns every FFmpeg object of one conversion and frees them whatever way it ends.
class TWavToWma {
public:
    TWavToWma(const volatile std::sig_atomic_t &stop, std::string &error)
        : m_stop(stop), m_error(error)
    {}
    ~TWavToWma();
    TWavToWma(const TWavToWma &) = delete;
    TWavToWma &operator=(const TWavToWma &) = delete;

    bool Run(const TPlainFile &wav, const std::string &wmaPath);

private:
    bool Failed(const std::string &what, int code = 0);
    AVIOInterruptCB Interrupt() const
    {
        return {StopRequested, const_cast<std::sig_atomic_t *>(&m_stop)};
    }
    bool OpenInput(const TPlainFile &wav);
    bool OpenEncoder();
    bool OpenOutput(const std::string &wmaPath);
    bool Transcode();
    bool Decode(const AVPacket *packet);
    bool Resample(const uint8_t **input, int count);
    bool EncodeFromFifo(bool final);
    bool SendFrame(const AVFrame *frame);

    const volatile std::sig_atomic_t &m_stop;
    std::string &m_error;
    AVFormatContext *m_input = nullptr;
    int m_inputStream = -1;
    AVCodecContext *m_decoder = nullptr;
    AVCodecContext *m_encoder = nullptr;
    AVFormatContext *m_output = nullptr;
    SwrContext *m_resampler = nullptr;
    AVAudioFifo *m_fifo = nullptr;
    AVFrame *m_decoded = av_frame_alloc();
    AVFrame *m_toEncode = av_frame_alloc();
    AVPacket *m_packet = av_packet_alloc();
    uint8_t *m_buffer[AV_NUM_DATA_POINTERS] = {};
    int m_bufferSamples = 0;
    int64_t m_nextPts = 0;
    int64_t m_samplesRead = 0;
};

TWavToWma::~TWavToWma()
{
    av_freep(&m_buffer[0]);
    av_packet_free(&m_packet);
    av_frame_free(&m_toEncode);
    av_frame_free(&m_decoded);
    av_audio_fifo_free(m_fifo);
    swr_free(&m_resampler);
    if (m_output) {
        avio_closep(&m_output->pb);
        avformat_free_context(m_output);
    }
    avcodec_free_context(&m_encoder);
    avcodec_free_context(&m_decoder);
    avformat_close_input(&m_input);
}

bool TWavToWma::Failed(const std::string &what, int code)
{
    m_error = code ? what + ": " + AvError(code) : what;
    return false;
}

bool TWavToWma::OpenInput(const TPlainFile &wav)
{
    // The format is named so that no other demuxer guesses at a damaged file. FFmpeg opens by
    // name: the descriptor's name reopens the very file that was found to be a plain one, which
    // nothing can have replaced with a named pipe meanwhile.
    const AVInputFormat *format = av_find_input_format("wav");
    const std::string url = "file:/proc/self/fd/" + std::to_string(wav.descriptor());
    m_input = avformat_alloc_context();
    if (!m_input)
        return Failed("out of memory");
    m_input->interrupt_callback = Interrupt();
    int code = avformat_open_input(&m_input, url.c_str(), format, nullptr);
    if (code < 0)
        return Failed("cannot read the WAV file", code);
    for (unsigned i = 0; i < m_input->nb_streams; ++i) {
        if (m_input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            m_inputStream = int(i);
            break;
        }
    }
    if (m_inputStream < 0)
        return Failed("the WAV file holds no audio");
    const AVCodecParameters *parameters = m_input->streams[m_inputStream]->codecpar;
    if (std::strncmp(avcodec_get_name(parameters->codec_id), "pcm_", 4) != 0)
        return Failed("the WAV file is not PCM audio");
    const int channels = parameters->ch_layout.nb_channels;
    if (channels < 1 || channels > 8 || parameters->sample_rate < 1000
        || parameters->sample_rate > 384000)
        return Failed("the WAV file has an unusable format");
    const AVCodec *codec = avcodec_find_decoder(parameters->codec_id);
    m_decoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!m_decoder)
        return Failed("the WAV file's encoding is not supported");
    code = avcodec_parameters_to_context(m_decoder, parameters);
    if (code >= 0 && m_decoder->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        av_channel_layout_uninit(&m_decoder->ch_layout);
        av_channel_layout_default(&m_decoder->ch_layout, channels);
    }
    if (code >= 0)
        code = avcodec_open2(m_decoder, codec, nullptr);
    if (code < 0)
        return Failed("cannot decode the WAV file", code);
    return true;
}

bool TWavToWma::OpenEncoder()
{
    const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    m_encoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!m_encoder)
        return Failed("this FFmpeg has no WMA encoder");
    const bool mono = m_decoder->ch_layout.nb_channels == 1;
    av_channel_layout_default(&m_encoder->ch_layout, mono ? 1 : 2);
    m_encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
    m_encoder->sample_rate = OutputRate(m_decoder->sample_rate);
    m_encoder->time_base = AVRational{1, m_encoder->sample_rate};
    m_encoder->bit_rate = mono ? 64000 : 128000;
    int code = avcodec_open2(m_encoder, codec, nullptr);
    if (code < 0)
        return Failed("cannot start the WMA encoder", code);
    code = swr_alloc_set_opts2(&m_resampler, &m_encoder->ch_layout, m_encoder->sample_fmt,
                               m_encoder->sample_rate, &m_decoder->ch_layout, m_decoder->sample_fmt,
                               m_decoder->sample_rate, 0, nullptr);
    if (code >= 0)
        code = swr_init(m_resampler);
    if (code < 0)
        return Failed("cannot convert the WAV file's samples", code);
    m_fifo = av_audio_fifo_alloc(m_encoder->sample_fmt, m_encoder->ch_layout.nb_channels,
                                 4 * m_encoder->frame_size);
    m_toEncode->nb_samples = m_encoder->frame_size;
    m_toEncode->format = m_encoder->sample_fmt;
    m_toEncode->sample_rate = m_encoder->sample_rate;
    code = av_channel_layout_copy(&m_toEncode->ch_layout, &m_encoder->ch_layout);
    if (code >= 0)
        code = av_frame_get_buffer(m_toEncode, 0);
    if (!m_fifo || !m_decoded || !m_packet || code < 0)
        return Failed("out of memory");
    return true;
}

bool TWavToWma::OpenOutput(const std::string &wmaPath)
{
    int code = avformat_alloc_output_context2(&m_output, nullptr, "asf", nullptr);
    if (code < 0)
        return Failed("this FFmpeg cannot write WMA files", code);
    AVStream *stream = avformat_new_stream(m_output, nullptr);
    if (!stream)
        return Failed("out of memory");
    stream->time_base = m_encoder->time_base;
    code = avcodec_parameters_from_context(stream->codecpar, m_encoder);
    const std::string url = "file:" + wmaPath;
    m_output->interrupt_callback = Interrupt();
    if (code >= 0)
        code = avio_open2(&m_output->pb, url.c_str(), AVIO_FLAG_WRITE,
                          &m_output->interrupt_callback, nullptr);
    if (code >= 0)
        code = avformat_write_header(m_output, nullptr);
    if (code < 0)
        return Failed("cannot write the WMA file", code);
    return true;
}

bool TWavToWma::Resample(const uint8_t **input, int count)
{
    const int room = swr_get_out_samples(m_resampler, count);
    if (room < 0)
        return Failed("cannot convert the WAV file's samples", room);
    if (room > m_bufferSamples) {
        av_freep(&m_buffer[0]);
        m_bufferSamples = 0;
        if (av_samples_alloc(m_buffer, nullptr, m_encoder->ch_layout.nb_channels, room,
                             m_encoder->sample_fmt, 0)
            < 0)
            return Failed("out of memory");
        m_bufferSamples = room;
    }
    const int converted = swr_convert(m_resampler, m_buffer, room, input, count);
    if (converted < 0)
        return Failed("cannot convert the WAV file's samples", converted);
    if (converted > 0
        && av_audio_fifo_write(m_fifo, reinterpret_cast<void **>(m_buffer), converted) < converted)
        return Failed("out of memory");
    return true;
}

bool TWavToWma::SendFrame(const AVFrame *frame)
{
    int code = avcodec_send_frame(m_encoder, frame);
    while (code >= 0) {
        code = avcodec_receive_packet(m_encoder, m_packet);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
            return true;
        if (code < 0)
            break;
        av_packet_rescale_ts(m_packet, m_encoder->time_base, m_output->streams[0]->time_base);
        m_packet->stream_index = 0;
        code = av_interleaved_write_frame(m_output, m_packet);
    }
    return Failed("cannot write the WMA file", code);
}

// Encodes every whole frame waiting in the FIFO; at the end the rest too, padded with silence
// because the encoder takes whole frames only.
bool TWavToWma::EncodeFromFifo(bool final)
{
    const int frameSize = m_encoder->frame_size;
    while (av_audio_fifo_size(m_fifo) >= frameSize || (final && av_audio_fifo_size(m_fifo) > 0)) {
        if (av_frame_make_writable(m_toEncode) < 0)
            return Failed("out of memory");
        const int count =
            av_audio_fifo_read(m_fifo, reinterpret_cast<void **>(m_toEncode->data), frameSize);
        if (count < 0)
            return Failed("cannot convert the WAV file's samples", count);
        if (count < frameSize)
            av_samples_set_silence(m_toEncode->data, count, frameSize - count,
                                   m_encoder->ch_layout.nb_channels, m_encoder->sample_fmt);
        m_toEncode->pts = m_nextPts;
        m_nextPts += frameSize;
        if (!SendFrame(m_toEncode))
            return false;
    }
    return true;
}

bool TWavToWma::Decode(const AVPacket *packet)
{
    int code = avcodec_send_packet(m_decoder, packet);
    if (code < 0 && code != AVERROR_EOF)
        return Failed("the WAV file is damaged", code);
    for (;;) {
        code = avcodec_receive_frame(m_decoder, m_decoded);
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
            return true;
        if (code < 0)
            return Failed("the WAV file is damaged", code);
        m_samplesRead += m_decoded->nb_samples;
        const bool resampled =
            Resample(const_cast<const uint8_t **>(m_decoded->extended_data), m_decoded->nb_samples);
        av_frame_unref(m_decoded);
        if (!resampled || !EncodeFromFifo(false))
            return false;
    }
}

bool TWavToWma::Transcode()
{
    // A decoder gives out nothing for the first frame it is given: a frame of silence ahead
    // of the audio keeps the start of the track.
    if (av_frame_make_writable(m_toEncode) < 0)
        return Failed("out of memory");
    av_samples_set_silence(m_toEncode->data, 0, m_encoder->frame_size,
                           m_encoder->ch_layout.nb_channels, m_encoder->sample_fmt);
    m_toEncode->pts = m_nextPts;
    m_nextPts += m_encoder->frame_size;
    if (!SendFrame(m_toEncode))
        return false;
    for (;;) {
        if (m_stop)
            return Failed("stopped");
        const int code = av_read_frame(m_input, m_packet);
        if (code == AVERROR_EOF)
            break;
        if (code < 0)
            return Failed("cannot read the WAV file", code);
        const bool decoded = m_packet->stream_index != m_inputStream || Decode(m_packet);
        av_packet_unref(m_packet);
        if (!decoded)
            return false;
    }
    // Drain the decoder and the resampler, then the encoder.
    if (!Decode(nullptr) || !Resample(nullptr, 0))
        return false;
    if (m_samplesRead == 0)
        return Failed("the WAV file holds no audio");
    if (!EncodeFromFifo(true) || !SendFrame(nullptr))
        return false;
    const int code = av_write_trailer(m_output);
    if (code < 0)
        return Failed("cannot write the WMA file", code);
    if (m_output->pb->error < 0)
        return Failed("cannot write the WMA file", m_output->pb->error);
    const int closed = avio_closep(&m_output->pb);
    if (closed < 0)
        return Failed("cannot write the WMA file", closed);
    return !m_stop || Failed("stopped");
}

bool TWavToWma::Run(const TPlainFile &wav, const std::string &wmaPath)
{
    if (!m_decoded || !m_toEncode || !m_packet)
        return Failed("out of memory");
    return OpenInput(wav) && OpenEncoder() && OpenOutput(wmaPath) && Transcode();
}

} // namespace

bool EncodeWavToWma(const TPlainFile &wav, const std::string &wmaPath,
                    const volatile std::sig_atomic_t &stop, std::string &error)
{
    av_log_set_level(AV_LOG_QUIET);
    TWavToWma conversion(stop, error);
    return conversion.Run(wav, wmaPath);
}
