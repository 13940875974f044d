/* Control functions of the simulated Corvane.dll. The program never calls
 * them; tests and the demo resolve them with dlsym from the handle that loaded
 * the library (sim_client.h does that).
 *
 * Boxes are numbered from 0 by their slot, whether plugged in or not; devices
 * are CORVANE_SIM_BOX or CORVANE_SIM_ESC. Functions returning int give 0 when
 * done and -1 for an unknown box, device or a bad argument.
 *
 * Arrivals and removals: the listener set with CorvaneSim_SetPlugListener is
 * called on the simulator's own notifier thread, never on the thread of the
 * call that caused the change and never while the simulator holds a lock, in
 * the order the changes happened. The state itself changes at once (a box
 * unplugged by CorvaneSim_Unplug is gone from the enumeration when the call
 * returns); only the notice comes later. CorvaneSim_WaitForNotifications waits
 * until every notice so far was delivered. Clear the listener (NULL) before
 * the context it gets goes away; when that call returns the old listener is not
 * running and will not be called again. */
#ifndef CORVANE_SIM_SIM_CONTROL_H
#define CORVANE_SIM_SIM_CONTROL_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define CORVANE_SIM_BOX 0
#define CORVANE_SIM_ESC 1

/* Which check of the next reply CorvaneSim_CorruptNextReply spoils. */
#define CORVANE_SIM_CORRUPT_FINAL 0  /* the data sum of an 'A' frame with data, else the frame's check */
#define CORVANE_SIM_CORRUPT_HEADER 1 /* the header check of 'A', 'S', 'N', 'P', 'Y' frames */
#define CORVANE_SIM_CORRUPT_READ_DATA \
  2 /* the data sum of the next 'A' frame with data, whatever comes first */

/* Counters for CorvaneSim_GetCounter. */
#define CORVANE_SIM_COUNT_OUTPUT_REPORTS 0    /* well-formed output reports the box took */
#define CORVANE_SIM_COUNT_MALFORMED_REPORTS 1 /* output reports ignored as malformed */
#define CORVANE_SIM_COUNT_IGNORED_REPORTS 2   /* taken while nobody listened (stall, no ESC, restart) */
#define CORVANE_SIM_COUNT_COMMAND_FRAMES 3    /* complete command frames */
#define CORVANE_SIM_COUNT_REPLY_FRAMES 4      /* reply frames sent */
#define CORVANE_SIM_COUNT_DATA_BYTES 5        /* data-phase bytes taken, checksum bytes included */
#define CORVANE_SIM_COUNT_PROTOCOL_ERRORS 6   /* bad header check, refused address, broken data phase */
#define CORVANE_SIM_COUNT_CHECKSUM_ERRORS 7   /* data phases with a wrong checksum */
#define CORVANE_SIM_COUNT_DROPPED_REPLIES 8   /* replies swallowed by CorvaneSim_DropNextReply */
#define CORVANE_SIM_COUNT_INPUT_QUEUED 9      /* input reports sent by the box */
#define CORVANE_SIM_COUNT_INPUT_READ 10       /* input reports handed to readers */
#define CORVANE_SIM_COUNT_INPUT_DROPPED 11    /* input reports lost to a full buffer or a flush */
#define CORVANE_SIM_COUNT_OPEN_HANDLES 12     /* handles open on the box now */

typedef struct CorvaneSimIdentity {
  char model[6];            /* NUL-padded: "ESC12", "ESC08", "PW5M " */
  uint16_t identityWord;    /* 0 is accepted */
  uint16_t firmwareVersion; /* high byte major, low byte minor: 0x0105 = 1.05 */
  uint8_t hardwareVersion;  /* two BCD digits: 0x10 = 1.0 */
} CorvaneSimIdentity;

typedef void (*CorvaneSimPlugListener)(int arrived, const char* path, void* context);

/* Everything back to the state the library loads with: one box plugged in with
 * an ESC12 behind it, factory settings, 1 ms pacing, no faults, counters 0.
 * Handles open on box 0 stay open; the listener stays. */
void CorvaneSim_Reset(void);

/* Pacing: one output report per interval, input reports readable one per
 * interval. 0 for fast tests. Default 1000. */
void CorvaneSim_SetReportInterval(uint32_t microseconds);
/* Reply frames go out in input reports of at most maxBytes (1..62) data bytes;
 * with varied != 0 every second frame's first report carries half of that (the
 * 24-byte identify reply then comes as 12 + 12). Default 58, varied. */
int CorvaneSim_SetReportSplit(uint32_t maxBytes, int varied);

/* Boxes 0..count-1 exist and new ones are plugged in; boxes from count on are
 * unplugged and gone. 0..16. Paths are "/dev/hidraw-sim<n>". */
int CorvaneSim_SetBoxCount(uint32_t count);
uint32_t CorvaneSim_GetBoxCount(void);
int CorvaneSim_GetBoxPath(uint32_t box, char* buffer, uint32_t size);

int CorvaneSim_SetIdentity(uint32_t box, int device, const CorvaneSimIdentity* identity);
int CorvaneSim_GetIdentity(uint32_t box, int device, CorvaneSimIdentity* identity);
int CorvaneSim_SetEscPresent(uint32_t box, int present);
int CorvaneSim_SetEscModel(uint32_t box, const char* model);

/* The ESC's 2477-byte settings block (device address 0x5E00) and the 8 live
 * bytes that follow it in a read (period, ESC and motor sensor words
 * big-endian, two spare bytes). size must be exactly 2477 or 8. */
int CorvaneSim_SetEscSettings(uint32_t box, const uint8_t* bytes, uint32_t size);
int CorvaneSim_GetEscSettings(uint32_t box, uint8_t* bytes, uint32_t size);
int CorvaneSim_SetEscLive(uint32_t box, const uint8_t* bytes, uint32_t size);
int CorvaneSim_GetEscLive(uint32_t box, uint8_t* bytes, uint32_t size);

/* The last firmware image the device took: returns its length (copying at most
 * size bytes) and its target address, or -1 when it took none. */
int32_t CorvaneSim_GetProgrammedImage(uint32_t box, int device, uint8_t* buffer, uint32_t size,
                                      uint32_t* address);
/* Firmware version the device reports after its next programming; 0 keeps it. */
int CorvaneSim_SetVersionAfterProgram(uint32_t box, int device, uint16_t version);
/* How long the ESC is silent after being programmed. Default 1500 ms. */
int CorvaneSim_SetEscRestartTime(uint32_t box, uint32_t milliseconds);
/* After its 'P' was read the box leaves the bus after leaveDelayMs and comes
 * back returnDelayMs later. Defaults 100 and 1500. */
void CorvaneSim_SetBoxRestartTimes(uint32_t leaveDelayMs, uint32_t returnDelayMs);
/* The timing test: "STA", live 'V' frames spread over durationMs, then "END"
 * with the timing value. Defaults 3000 ms and 25. */
int CorvaneSim_SetTestRun(uint32_t box, uint32_t durationMs, uint8_t timing);

/* Faults. */
int CorvaneSim_DropNextReply(uint32_t box);
/* Drops the next reply frame whose first byte is kind ('Y', 'S', 'N', 'P',
 * 'A', 0x0F, ...); the replies before it go out. */
int CorvaneSim_DropNextReplyOfKind(uint32_t box, uint8_t kind);
int CorvaneSim_CorruptNextReply(uint32_t box, int part);
int CorvaneSim_SetStall(uint32_t box, int stalled);                     /* no answers at all until cleared */
int CorvaneSim_SetRefuseIdentity(uint32_t box, int device, int refuse); /* identity word 1 */
int CorvaneSim_Unplug(uint32_t box);
/* The box leaves right after taking the count-th byte of a data phase (0: right
 * after the header that opens one). One-shot. */
int CorvaneSim_UnplugAfterDataBytes(uint32_t box, uint32_t count);
/* The next 'A' reply with data stops halfway: once that half has been read
 * the box leaves the bus and comes back as after its own restart
 * (CorvaneSim_SetBoxRestartTimes). One-shot. */
int CorvaneSim_LeaveDuringNextRead(uint32_t box);
int CorvaneSim_PlugIn(uint32_t box);

void CorvaneSim_SetPlugListener(CorvaneSimPlugListener listener, void* context);
/* 1 when every notice so far was delivered within the time, else 0. */
int CorvaneSim_WaitForNotifications(uint32_t timeoutMs);

/* A counter of the box, or 0 for an unknown box or counter. */
uint64_t CorvaneSim_GetCounter(uint32_t box, int counter);
/* The last complete command frame the box (channel 0) or the ESC (channel 1)
 * took: returns its length (6 or 7; 0 when none), copying at most size bytes. */
int32_t CorvaneSim_GetLastCommand(uint32_t box, int channel, uint8_t* buffer, uint32_t size);

#ifdef __cplusplus
}
#endif

#endif
