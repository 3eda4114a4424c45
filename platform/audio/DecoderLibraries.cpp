// The MP3, Ogg Vorbis, FLAC, Ogg Opus and WAV decoding libraries, opened with the first stream of
// their kind (see LazyLibrary.h).

#include <FLAC/metadata.h>
#include <FLAC/stream_decoder.h>
#include <mpg123.h>
#include <opusfile.h>
#include <sndfile.h>
#include <vorbis/vorbisfile.h>

#include "platform/system/LazyLibrary.h"

namespace {

platform::system::LazyLibrary& mpg123Library() {
  static platform::system::LazyLibrary library("libmpg123.so.0");
  return library;
}
platform::system::LazyLibrary& vorbisfileLibrary() {
  static platform::system::LazyLibrary library("libvorbisfile.so.3");
  return library;
}
platform::system::LazyLibrary& sndfileLibrary() {
  static platform::system::LazyLibrary library("libsndfile.so.1");
  return library;
}

platform::system::LazyLibrary& flacLibrary() {
  static platform::system::LazyLibrary library("libFLAC.so.12");
  return library;
}
platform::system::LazyLibrary& opusfileLibrary() {
  static platform::system::LazyLibrary library("libopusfile.so.0");
  return library;
}

#define MPG123_FN(name) TUNORA_LAZY_FUNCTION(mpg123Library(), name)
#define VORBIS_FN(name) TUNORA_LAZY_FUNCTION(vorbisfileLibrary(), name)
#define SNDFILE_FN(name) TUNORA_LAZY_FUNCTION(sndfileLibrary(), name)
#define FLAC_FN(name) TUNORA_LAZY_FUNCTION(flacLibrary(), name)
#define OPUSFILE_FN(name) TUNORA_LAZY_FUNCTION(opusfileLibrary(), name)

}  // namespace

extern "C" {

int mpg123_init(void) { return MPG123_FN(mpg123_init)(); }
mpg123_handle* mpg123_new(const char* decoder, int* error) { return MPG123_FN(mpg123_new)(decoder, error); }
void mpg123_delete(mpg123_handle* mh) { MPG123_FN(mpg123_delete)(mh); }
int mpg123_param(mpg123_handle* mh, int type, long value, double fvalue) {
  return MPG123_FN(mpg123_param)(mh, type, value, fvalue);
}
void mpg123_rates(const long** list, size_t* number) { MPG123_FN(mpg123_rates)(list, number); }
int mpg123_format_none(mpg123_handle* mh) { return MPG123_FN(mpg123_format_none)(mh); }
int mpg123_format(mpg123_handle* mh, long rate, int channels, int encodings) {
  return MPG123_FN(mpg123_format)(mh, rate, channels, encodings);
}
int mpg123_getformat(mpg123_handle* mh, long* rate, int* channels, int* encoding) {
  return MPG123_FN(mpg123_getformat)(mh, rate, channels, encoding);
}
int mpg123_replace_reader_handle(mpg123_handle* mh, mpg123_ssize_t (*readData)(void*, void*, size_t),
                                 off_t (*seekData)(void*, off_t, int), void (*cleanup)(void*)) {
  return MPG123_FN(mpg123_replace_reader_handle)(mh, readData, seekData, cleanup);
}
int mpg123_open_handle(mpg123_handle* mh, void* iohandle) { return MPG123_FN(mpg123_open_handle)(mh, iohandle); }
int mpg123_set_filesize(mpg123_handle* mh, off_t size) { return MPG123_FN(mpg123_set_filesize)(mh, size); }
int mpg123_scan(mpg123_handle* mh) { return MPG123_FN(mpg123_scan)(mh); }
off_t mpg123_length(mpg123_handle* mh) { return MPG123_FN(mpg123_length)(mh); }
int mpg123_info(mpg123_handle* mh, struct mpg123_frameinfo* mi) { return MPG123_FN(mpg123_info)(mh, mi); }
off_t mpg123_seek(mpg123_handle* mh, off_t sampleoff, int whence) {
  return MPG123_FN(mpg123_seek)(mh, sampleoff, whence);
}
int mpg123_read(mpg123_handle* mh, void* outmemory, size_t outmemsize, size_t* done) {
  return MPG123_FN(mpg123_read)(mh, outmemory, outmemsize, done);
}
int mpg123_id3_raw(mpg123_handle* mh, unsigned char** v1, size_t* v1Size, unsigned char** v2, size_t* v2Size) {
  return MPG123_FN(mpg123_id3_raw)(mh, v1, v1Size, v2, v2Size);
}

int ov_open_callbacks(void* datasource, OggVorbis_File* vf, const char* initial, long ibytes, ov_callbacks callbacks) {
  return VORBIS_FN(ov_open_callbacks)(datasource, vf, initial, ibytes, callbacks);
}
int ov_clear(OggVorbis_File* vf) { return VORBIS_FN(ov_clear)(vf); }
vorbis_comment* ov_comment(OggVorbis_File* vf, int link) { return VORBIS_FN(ov_comment)(vf, link); }
// libvorbis's, reached through libvorbisfile, which needs it.
char* vorbis_comment_query(vorbis_comment* vc, const char* tag, int count) {
  return VORBIS_FN(vorbis_comment_query)(vc, tag, count);
}
vorbis_info* ov_info(OggVorbis_File* vf, int link) { return VORBIS_FN(ov_info)(vf, link); }
long ov_bitrate(OggVorbis_File* vf, int i) { return VORBIS_FN(ov_bitrate)(vf, i); }
ogg_int64_t ov_pcm_total(OggVorbis_File* vf, int i) { return VORBIS_FN(ov_pcm_total)(vf, i); }
ogg_int64_t ov_pcm_tell(OggVorbis_File* vf) { return VORBIS_FN(ov_pcm_tell)(vf); }
int ov_pcm_seek(OggVorbis_File* vf, ogg_int64_t pos) { return VORBIS_FN(ov_pcm_seek)(vf, pos); }
long ov_read(OggVorbis_File* vf, char* buffer, int length, int bigendianp, int word, int sgned, int* bitstream) {
  return VORBIS_FN(ov_read)(vf, buffer, length, bigendianp, word, sgned, bitstream);
}

SNDFILE* sf_open_virtual(SF_VIRTUAL_IO* sfvirtual, int mode, SF_INFO* sfinfo, void* userData) {
  return SNDFILE_FN(sf_open_virtual)(sfvirtual, mode, sfinfo, userData);
}
sf_count_t sf_seek(SNDFILE* sndfile, sf_count_t frames, int whence) {
  return SNDFILE_FN(sf_seek)(sndfile, frames, whence);
}
sf_count_t sf_readf_short(SNDFILE* sndfile, short* ptr, sf_count_t frames) {
  return SNDFILE_FN(sf_readf_short)(sndfile, ptr, frames);
}
int sf_close(SNDFILE* sndfile) { return SNDFILE_FN(sf_close)(sndfile); }

FLAC__StreamDecoder* FLAC__stream_decoder_new(void) { return FLAC_FN(FLAC__stream_decoder_new)(); }
void FLAC__stream_decoder_delete(FLAC__StreamDecoder* decoder) { FLAC_FN(FLAC__stream_decoder_delete)(decoder); }
FLAC__StreamDecoderInitStatus FLAC__stream_decoder_init_stream(
    FLAC__StreamDecoder* decoder, FLAC__StreamDecoderReadCallback read, FLAC__StreamDecoderSeekCallback seek,
    FLAC__StreamDecoderTellCallback tell, FLAC__StreamDecoderLengthCallback length,
    FLAC__StreamDecoderEofCallback eof, FLAC__StreamDecoderWriteCallback write,
    FLAC__StreamDecoderMetadataCallback metadata, FLAC__StreamDecoderErrorCallback error, void* client) {
  return FLAC_FN(FLAC__stream_decoder_init_stream)(decoder, read, seek, tell, length, eof, write, metadata, error,
                                                   client);
}
FLAC__bool FLAC__stream_decoder_set_metadata_respond(FLAC__StreamDecoder* decoder, FLAC__MetadataType type) {
  return FLAC_FN(FLAC__stream_decoder_set_metadata_respond)(decoder, type);
}
int FLAC__metadata_object_vorbiscomment_find_entry_from(const FLAC__StreamMetadata* object, uint32_t offset,
                                                        const char* field_name) {
  return FLAC_FN(FLAC__metadata_object_vorbiscomment_find_entry_from)(object, offset, field_name);
}
FLAC__bool FLAC__stream_decoder_finish(FLAC__StreamDecoder* decoder) {
  return FLAC_FN(FLAC__stream_decoder_finish)(decoder);
}
FLAC__bool FLAC__stream_decoder_flush(FLAC__StreamDecoder* decoder) {
  return FLAC_FN(FLAC__stream_decoder_flush)(decoder);
}
FLAC__StreamDecoderState FLAC__stream_decoder_get_state(const FLAC__StreamDecoder* decoder) {
  return FLAC_FN(FLAC__stream_decoder_get_state)(decoder);
}
FLAC__bool FLAC__stream_decoder_process_single(FLAC__StreamDecoder* decoder) {
  return FLAC_FN(FLAC__stream_decoder_process_single)(decoder);
}
FLAC__bool FLAC__stream_decoder_process_until_end_of_metadata(FLAC__StreamDecoder* decoder) {
  return FLAC_FN(FLAC__stream_decoder_process_until_end_of_metadata)(decoder);
}
FLAC__bool FLAC__stream_decoder_seek_absolute(FLAC__StreamDecoder* decoder, FLAC__uint64 sample) {
  return FLAC_FN(FLAC__stream_decoder_seek_absolute)(decoder, sample);
}

OggOpusFile* op_open_callbacks(void* stream, const OpusFileCallbacks* callbacks, const unsigned char* initial,
                               size_t initialBytes, int* error) {
  return OPUSFILE_FN(op_open_callbacks)(stream, callbacks, initial, initialBytes, error);
}
void op_free(OggOpusFile* file) { OPUSFILE_FN(op_free)(file); }
const OpusTags* op_tags(const OggOpusFile* file, int link) { return OPUSFILE_FN(op_tags)(file, link); }
int opus_tags_get_track_gain(const OpusTags* tags, int* gain) {
  return OPUSFILE_FN(opus_tags_get_track_gain)(tags, gain);
}
ogg_int64_t op_pcm_total(const OggOpusFile* file, int link) { return OPUSFILE_FN(op_pcm_total)(file, link); }
opus_int64 op_raw_total(const OggOpusFile* file, int link) { return OPUSFILE_FN(op_raw_total)(file, link); }
opus_int32 op_bitrate(const OggOpusFile* file, int link) { return OPUSFILE_FN(op_bitrate)(file, link); }
ogg_int64_t op_pcm_tell(const OggOpusFile* file) { return OPUSFILE_FN(op_pcm_tell)(file); }
int op_pcm_seek(OggOpusFile* file, ogg_int64_t offset) { return OPUSFILE_FN(op_pcm_seek)(file, offset); }
int op_read_stereo(OggOpusFile* file, opus_int16* pcm, int size) {
  return OPUSFILE_FN(op_read_stereo)(file, pcm, size);
}

}  // extern "C"
