#pragma once
// The C interface of our streaming audio engine: handles, byte positions, activity values
// and error codes keep the meanings callers of this interface expect.

#include <cstdint>

extern "C" {

// On Windows the system's own definitions, so that both may meet in one source.
#if defined(_WIN32)
typedef unsigned long DWORD;
#else
typedef std::uint32_t DWORD;
#endif
typedef std::uint64_t QWORD;
typedef int BOOL;
typedef DWORD HSTREAM;
typedef DWORD HCHANNEL;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Error codes (BASS_ErrorGetCode).
enum : int {
  BASS_OK = 0,
  BASS_ERROR_MEM = 1,
  BASS_ERROR_FILEOPEN = 2,
  BASS_ERROR_DRIVER = 3,
  BASS_ERROR_HANDLE = 5,
  BASS_ERROR_FORMAT = 6,
  BASS_ERROR_POSITION = 7,
  BASS_ERROR_INIT = 8,
  BASS_ERROR_START = 9,
  BASS_ERROR_SSL = 10,
  BASS_ERROR_ALREADY = 14,
  BASS_ERROR_NOTAUDIO = 17,
  BASS_ERROR_ILLTYPE = 19,
  BASS_ERROR_ILLPARAM = 20,
  BASS_ERROR_DEVICE = 23,
  BASS_ERROR_NOPLAY = 24,
  BASS_ERROR_NOTFILE = 27,
  BASS_ERROR_NONET = 32,
  BASS_ERROR_NOTAVAIL = 37,
  BASS_ERROR_DECODE = 38,
  BASS_ERROR_TIMEOUT = 40,
  BASS_ERROR_FILEFORM = 41,
  BASS_ERROR_ENDED = 45,
  BASS_ERROR_UNKNOWN = -1,
};

// Activity (BASS_ChannelIsActive).
enum : DWORD {
  BASS_ACTIVE_STOPPED = 0,
  BASS_ACTIVE_PLAYING = 1,
  BASS_ACTIVE_STALLED = 2,
  BASS_ACTIVE_PAUSED = 3,
};

enum : DWORD { BASS_POS_BYTE = 0 };
enum : DWORD { BASS_ATTRIB_VOL = 2 };

// Engine options (BASS_SetConfig). REPLAYGAIN: 1, the default, levels each stream created
// afterwards by the track gain its tags carry, min(10^(gain/20), 1/peak), before its volume
// attribute; 0 plays every stream as it is.
enum : DWORD { BASS_CONFIG_REPLAYGAIN = 0x10200 };

// BASS_StreamGetFilePosition modes. DOWNLOAD counts every byte downloaded (from the
// stream's start); BUFFER only those still held, which is less once played bytes of a
// long stream were let go. CONNECTED stays 1 while a broken connection is being resumed
// and turns 0 when the download has ended for good.
enum : DWORD {
  BASS_FILEPOS_CURRENT = 0,
  BASS_FILEPOS_DOWNLOAD = 1,
  BASS_FILEPOS_END = 2,
  BASS_FILEPOS_START = 3,
  BASS_FILEPOS_CONNECTED = 4,
  BASS_FILEPOS_BUFFER = 5,
  BASS_FILEPOS_SIZE = 8,
  BASS_FILEPOS_BUFFERING = 9,
};

// Called on the download thread with each block of downloaded data, and with buffer
// NULL and length 0 when a download has ended for good (not at a break that is resumed,
// nor when the stream is freed first).
typedef void (*DOWNLOADPROC)(const void* buffer, DWORD length, void* user);

// device: -1 the default output, 0 no sound (real-time pace, no output), 1... real devices.
// The default output becomes the WAV capture device when TUNORA_AUDIO_CAPTURE names a file
// (TUNORA_AUDIO_CAPTURE_SPEED, default 1, runs it faster than real time). It leaves out
// the stretches where nothing plays, unless TUNORA_AUDIO_CAPTURE_GAPS=1: then it keeps
// the silence between the first frame heard and the last.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* win, const void* dsguid);
BOOL BASS_Free(void);
int BASS_ErrorGetCode(void);
BOOL BASS_SetConfig(DWORD option, DWORD value);

// mem TRUE: file is the address of length bytes, read in place (the caller keeps them
// alive). mem FALSE: file is a path in the program's code page; length 0 means to the end.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                              DWORD flags);
// http and https only. Blocks for connection, headers, format detection and the
// pre-buffer, 5 s at most in all; the download then continues in the background. A stream
// holds at most 64 MB of the file: beyond that the part already played is let go and the
// download waits for the player. A stated size over 1 TiB is refused (FILEOPEN).
// A connection that breaks or stays silent for 10 s later on is resumed with a Range
// request while the held data plays on (the stream is STALLED only once that runs out);
// when that fails for good, the stream plays what it holds and then STOPS short of its
// length, with DOWNLOAD below END and CONNECTED 0 (platform/audio/NetWaits.h).
HSTREAM BASS_StreamCreateURL(const char* url, DWORD offset, DWORD flags, DOWNLOADPROC proc,
                             void* user);
BOOL BASS_StreamFree(HSTREAM handle);
QWORD BASS_StreamGetFilePosition(HSTREAM handle, DWORD mode);

// follower (a stopped stream) starts by itself at the frame after handle's last, in the
// same output block: no gap, nothing repeated. Until then it stays stopped; its position
// and activity count from its first frame heard. Freeing either stream, a seek of handle
// or playing follower by hand ends the chain; follower 0 ends handle's chain. Fails with
// NOPLAY when handle has stopped already, ALREADY when follower plays.
BOOL BASS_ChannelSetFollower(DWORD handle, DWORD follower);

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
BOOL BASS_ChannelPause(DWORD handle);
BOOL BASS_ChannelStop(DWORD handle);
DWORD BASS_ChannelIsActive(DWORD handle);
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode);
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode);
QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode);
double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);
QWORD BASS_ChannelSeconds2Bytes(DWORD handle, double pos);
BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value);
BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value);
// A linear slide over time ms that replaces any running slide of the attribute and runs
// whether the channel plays, is paused or stopped.
BOOL BASS_ChannelSlideAttribute(DWORD handle, DWORD attrib, float value, DWORD time);

}  // extern "C"
