/*
 * vxhw.h - public interface of the card driver of the volumetric display kit.
 *
 * The driver sends display command records and plane words to the display's interface card, a
 * PCI-DIO-32HS digital I/O board, as blocks of 32-bit words. Before every block it performs a
 * handshake on the board's control lines: the card raises its REQ2 line when it is ready, the
 * driver raises a strobe (command or data), the card acknowledges by lowering REQ2, the driver
 * lowers the strobe and starts the block output. A block output runs on after the call that
 * started it has returned; the next send (or shutdown) waits for it first.
 *
 * Without the board (on Linux) the driver talks to a simulated board whose display card
 * answers the handshake and takes the words at the speed of the real card.
 *
 * Conventions for every function below:
 * - Every function returns a status code (VX_OK, VX_ERR_... of vx.h; 0 is success), except
 *   vxHwDoGlobalReset.
 * - A failure of the card or the board returns VX_ERR_OUTPUT_CARD and records an error index,
 *   whose text vxHwGetLastErrorString reports. The index keeps the most recent failure until
 *   it is reported; a later success does not clear it.
 * - All state is process-global. The driver starts no thread and takes no lock; call it from
 *   one thread.
 * - The driver has no link to the core library; it shares only the status codes and the
 *   display command record types (VX_CMD_...) of vx.h.
 *
 * Calling order: vxHwInitialize; then for every frame a sizing command (VX_CMD_FULL_PLANE,
 * VX_CMD_SUB_PLANE, VX_CMD_FULL_BLOCK or VX_CMD_SUB_BLOCK) followed by vxHwSendData with that
 * many words, and the other commands as the display needs them; finally vxHwShutDown.
 */
#ifndef VXHW_H
#define VXHW_H

#include "vx.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Export macro ----------------------------------------------------------------------- */
#if defined(_WIN32)
#if defined(VXHW_BUILDING)
#define VXHW_API __declspec(dllexport)
#else
#define VXHW_API __declspec(dllimport)
#endif
#else
#define VXHW_API __attribute__((visibility("default")))
#endif

/* ---- Limits of the transport ------------------------------------------------------------ */

/* Largest number of words handed to one block output: a plane goes in one block output, the
 * whole volume in four (three of 4,000,000 words and one of the rest). */
#define VXHW_BLOCK_LIMIT 4000000u

/* Reads of REQ2 before a handshake wait gives up, and status queries before the driver decides
 * that the card has not begun to take the previous block. Both are bounded by count, not by a
 * clock. */
#define VXHW_WAIT_READS 5000

/* No-progress limit of the wait for the previous transfer, in milliseconds: when the count of
 * words still to be transferred has not fallen for longer than this, the send fails with error
 * index 5, "Timeout waiting for previous transfer to finish". Meanwhile the driver checks the
 * count every 10 milliseconds. The count falls steadily while the card takes words, so the
 * limit trips only when the card has stopped taking them; it does not bound the length of a
 * transfer. */
#define VXHW_TRANSFER_STALL_LIMIT_MS 1000u

/* ======================================================================================== */
/* Transport                                                                                */
/* ======================================================================================== */

/* vxHwSendCommand: sends one display command record to the card.
 *   command: a record of VX_CMD_RECORD_INTS ints; word 0 is the type, the words after it the
 *            arguments, sent unchanged. The words sent, type word included:
 *            VX_CMD_SET_CLEAR_ON_SWAP, VX_CMD_SET_SWAP_ON_WRITE, VX_CMD_SWAP,
 *            VX_CMD_FULL_PLANE and VX_CMD_FULL_BLOCK: 2 (the second word as the caller filled
 *            it, also for the types without an argument); VX_CMD_SUB_PLANE: 5 (x1, y1, x2, y2);
 *            VX_CMD_SUB_BLOCK: 7 (x1, y1, z1, x2, y2, z2). Corners are inclusive, in any order.
 *            The driver copies the words; the record may change as soon as the call returns.
 *   VX_CMD_RESET (0) sends nothing: it waits for the previous transfer and for the card to be
 *   ready, and performs vxHwDoGlobalReset when the card does not raise REQ2 (not reported).
 * The sizing types set the number of words that the next vxHwSendData sends: VX_CMD_FULL_PLANE
 * 765,952 (one plane), VX_CMD_FULL_BLOCK 15,319,040 (the volume), VX_CMD_SUB_PLANE and
 * VX_CMD_SUB_BLOCK the pixel count of their rectangle or box. The other types leave it alone.
 * Returns VX_OK; VX_ERR_OUTPUT_CARD when the card or the board fails (error indices 2, 3, 5,
 * 14, 15, 16); VX_ERR_INVALID_ARGUMENT, sending nothing and changing nothing, for a null
 * command, a type outside 0 to 7, a VX_CMD_SUB_PLANE rectangle of more pixels than a plane and
 * a VX_CMD_SUB_BLOCK box of more pixels than the volume (the caller's mistake). */
VXHW_API unsigned int vxHwSendCommand(const int *command);

/* vxHwSendData: sends the plane words that the last sizing command announced (none before any
 * sizing command: the handshake still takes place). Returns as soon as the last block output
 * has started; the words are read while they are transferred, so keep data unchanged until the
 * next vxHwSendCommand, vxHwSendData or vxHwShutDown has returned. The announced count stays in
 * force: a second vxHwSendData sends as many words again.
 *   data: at least the announced count of plane words.
 * Returns VX_OK; VX_ERR_OUTPUT_CARD when the card or the board fails (error indices 2, 3, 5,
 * 14, 15, 16; the words of block outputs already started are on their way);
 * VX_ERR_INVALID_ARGUMENT for a null data (nothing sent). */
VXHW_API unsigned int vxHwSendData(const unsigned int *data);

/* vxHwDoGlobalReset: resets the card by pulsing both strobe lines (command strobe up, data
 * strobe up, command strobe down, data strobe down), without waiting for REQ2. Records no error
 * index. Returns 0 when the last line change succeeded, else the board's nonzero status. */
VXHW_API int vxHwDoGlobalReset(void);

/* vxHwGet: gives the display geometry.
 *   id:    0 width (1024), 1 height (748), 2 planes (20).
 *   value: receives the number.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for another id or a null value (nothing written). */
VXHW_API unsigned int vxHwGet(int id, int *value);

/* ======================================================================================== */
/* Initialisation, shutdown and errors                                                      */
/* ======================================================================================== */

/* vxHwInitialize: finds the board, describes it, configures its port group and clock line for
 * the transfers and synchronises with the card (as VX_CMD_RESET). May be called again; it runs
 * every step again.
 *   info: at least 114 bytes; receives the description, built from these pieces, each added
 *         only when its step succeeded: "Nidaq Version: <hex>, ", "National Instruments
 *         PCI-DIO-32HS, " (or, for a board of another type, "FATAL ERROR: Voxtera Interface
 *         Card not found!, " and nothing more), "Serial Number: 0x<hex>, ", "Base Address:
 *         0x<hex>, ". At most 113 characters and a NUL.
 * Returns VX_OK; VX_ERR_OUTPUT_CARD at the first failing step, the steps before it not undone
 * (error indices 6 no board of the right type, 8 serial number, 9 base address, 10 port
 * assignment, 11 port grouping, 12 clock line, and those of vxHwSendCommand);
 * VX_ERR_INVALID_ARGUMENT for a null info (nothing done). */
VXHW_API unsigned int vxHwInitialize(char *info);

/* vxHwShutDown: synchronises with the card (as VX_CMD_RESET), waits for the last transfer to
 * finish and dissolves the board's port group. The driver's counts and error index stay.
 * Returns VX_OK; VX_ERR_OUTPUT_CARD when a wait fails or the group cannot be dissolved
 * (error index 13). */
VXHW_API unsigned int vxHwShutDown(void);

/* vxHwGetLastErrorString: writes the text of the last error index ("No error" when none; an
 * index outside the table gives "invlid error"), cut to size - 1 characters and terminated,
 * then sets the index back to 0.
 *   size: capacity of text in bytes; texts are at most 57 characters.
 *   text: receives the text.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a size of 0 or less or a null text (the index is
 * left as it was). */
VXHW_API unsigned int vxHwGetLastErrorString(int size, char *text);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* VXHW_H */
