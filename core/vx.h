/*
 * vx.h - public interface of the core library of the volumetric display kit.
 *
 * The display is a stack of 20 planes of 1024 x 748 pixels. An application initialises the
 * library, chooses a data format (how its pixels are laid out) and a render mode (which part of
 * the volume a frame covers), hands in frames, and shuts the library down. The core library
 * converts every frame into 32-bit plane words and stores them in the display backend, here the
 * software emulator, which draws the volume in a window.
 *
 * Conventions for every function below:
 * - Almost every function returns a status code (VX_OK, VX_ERR_...); 0 is success.
 * - All state is process-global. The library starts no thread and takes no lock; call it from
 *   one thread, the one that called vxInitialize (the emulator window belongs to it).
 * - Functions that talk to the display save the calling thread's current OpenGL context and
 *   make it current again before they return, so an application may render with its own
 *   context between calls.
 * - Pixel layouts are in memory order, byte 0 first; frames are rows of the render region with
 *   x fastest, then y, then (block modes) z, without gaps between rows.
 */
#ifndef VX_H
#define VX_H

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Version ---------------------------------------------------------------------------- */
#define VX_VERSION_MAJOR 0
#define VX_VERSION_MINOR 1
#define VX_VERSION_PATCH 0

/* ---- Export macro ----------------------------------------------------------------------- */
#if defined(_WIN32)
#if defined(VX_BUILDING_VX)
#define VX_API __declspec(dllexport)
#else
#define VX_API __declspec(dllimport)
#endif
#else
#define VX_API __attribute__((visibility("default")))
#endif

/* ---- Status codes ----------------------------------------------------------------------- */
#define VX_OK 0u
#define VX_ERR_NO_MEMORY 1u
#define VX_ERR_IMAGE_WRITE 2u
#define VX_ERR_OUTPUT_CARD 3u
#define VX_ERR_FILE_NOT_FOUND 4u
#define VX_ERR_FILE_OPEN 5u
#define VX_ERR_FILE 6u
#define VX_ERR_UNKNOWN 7u
#define VX_ERR_FILE_EXTENSION 8u
#define VX_ERR_ALREADY_INITIALIZED 9u
#define VX_ERR_INVALID_FORMAT 10u
#define VX_ERR_INVALID_ARGUMENT 11u
#define VX_ERR_OUT_OF_RANGE 12u
#define VX_ERR_DEPTH_SCAN_METHOD 13u
#define VX_ERR_FORMAT_MODE_COMBO 14u
#define VX_ERR_QUEUE_OVERFLOW 15u

/* ---- Display geometry ------------------------------------------------------------------- */
#define VX_PLANE_WIDTH 1024
#define VX_PLANE_HEIGHT 748
#define VX_NUM_PLANES 20
#define VX_PLANE_PIXELS 765952    /* 1024 x 748 */
#define VX_VOLUME_PIXELS 15319040 /* 1024 x 748 x 20 */

/* ---- Data formats (bytes of one pixel in memory order) ---------------------------------- */
#define VX_FORMAT_RGB_Z16 68   /* R, G, B + separate 16-bit depth buffer; plane modes      */
#define VX_FORMAT_BGR_Z16 69   /* B, G, R + separate 16-bit depth buffer; plane modes      */
#define VX_FORMAT_RGBX_Z16 70  /* R, G, B, ignored + 16-bit depth buffer; plane modes      */
#define VX_FORMAT_XBGR_Z16 71  /* ignored, B, G, R + 16-bit depth buffer; plane modes      */
#define VX_FORMAT_RGBZ 72      /* R, G, B, 8-bit depth; plane modes                        */
#define VX_FORMAT_BGRZ 73      /* B, G, R, 8-bit depth; plane modes                        */
#define VX_FORMAT_RGBP 74      /* R, G, B, plane index (low 5 bits); plane modes           */
#define VX_FORMAT_MVD32 75     /* plane word, passed on unchanged; plane and block modes   */
#define VX_FORMAT_RGB 76       /* R, G, B; block modes                                      */
#define VX_FORMAT_BGR 77       /* B, G, R; block modes                                      */
#define VX_FORMAT_RGBX 78      /* R, G, B, ignored; block modes                             */
#define VX_FORMAT_XBGR 79      /* ignored, B, G, R; block modes                             */
#define VX_FORMAT_GRAY16 80    /* grey low byte, grey high byte; block modes                */
#define VX_FORMAT_GRAY8 81     /* grey; block modes                                         */

/* ---- Render modes ----------------------------------------------------------------------- */
#define VX_RENDER_SUB_PLANE 401
#define VX_RENDER_FULL_PLANE 402
#define VX_RENDER_SUB_BLOCK 403
#define VX_RENDER_FULL_BLOCK 404

/* ---- Display command record types (record: type + up to six int arguments) ------------- */
#define VX_CMD_RESET 0
#define VX_CMD_SET_CLEAR_ON_SWAP 1 /* value                                  */
#define VX_CMD_SET_SWAP_ON_WRITE 2 /* value                                  */
#define VX_CMD_SWAP 3              /* one word, 0                             */
#define VX_CMD_FULL_PLANE 4        /* none                                   */
#define VX_CMD_SUB_PLANE 5         /* x1, y1, x2, y2 (inclusive)             */
#define VX_CMD_FULL_BLOCK 6        /* none                                   */
#define VX_CMD_SUB_BLOCK 7         /* x1, y1, z1, x2, y2, z2 (inclusive)     */
#define VX_CMD_RECORD_INTS 7       /* ints in one record, type included      */

/* ---- Operations of the emulated volume device ------------------------------------------- */
#define VX_DEVOP_SUB_PLANE 1
#define VX_DEVOP_FULL_PLANE 2
#define VX_DEVOP_SUB_BLOCK 3
#define VX_DEVOP_FULL_BLOCK 4
#define VX_DEVOP_SWAP 5
#define VX_DEVOP_CLEAR_ON_SWAP 6
#define VX_DEVOP_SWAP_ON_WRITE 7
#define VX_DEVOP_NOP 8

/* ---- Flags (vxSetFlag) and their query ids (vxGet) -------------------------------------- */
#define VX_FLAG_SWAP_ON_WRITE 250
#define VX_FLAG_CLEAR_ON_SWAP 251
/* 252 is accepted by vxSetFlag and has no effect; vxGet refuses it. */
#define VX_FLAG_LINEARIZE_DEPTH 253

/* ---- Query ids (vxGet); the comment gives the bytes written ----------------------------- */
#define VX_GET_DEPTH_SCAN_METHOD 300 /* 4, int 200..204                          */
#define VX_GET_PLANE_WIDTH 301       /* 4, int 1024                              */
#define VX_GET_PLANE_HEIGHT 302      /* 4, int 748                               */
#define VX_GET_NUM_PLANES 303        /* 4, int 20                                */
#define VX_GET_MIN_DEPTHZ 304        /* 1, 8-bit near bound in effect            */
#define VX_GET_MAX_DEPTHZ 305        /* 1, 8-bit far bound in effect             */
#define VX_GET_MIN_DEPTHS 306        /* 2, 16-bit near bound in effect           */
#define VX_GET_MAX_DEPTHS 307        /* 2, 16-bit far bound in effect            */
#define VX_GET_GAMMA_FACTOR 308      /* 4, float                                 */
#define VX_GET_RENDER_MODE 309       /* 4, int                                   */
#define VX_GET_INITIALIZED 310       /* 4, int 0/1                               */
#define VX_GET_BUFFER_PIXELS 311     /* 4, int scratch buffer capacity           */
#define VX_GET_MIN_DEPTH_FUNC1 312   /* 4, unsigned                              */
#define VX_GET_MIN_DEPTH_FUNC2 313
#define VX_GET_MIN_DEPTH_FUNC3 314
#define VX_GET_MAX_DEPTH_FUNC1 315
#define VX_GET_MAX_DEPTH_FUNC2 316
#define VX_GET_MAX_DEPTH_FUNC3 317
#define VX_GET_NEAR_CLIP_PLANE 318   /* 8, double                                */
#define VX_GET_FAR_CLIP_PLANE 319    /* 8, double                                */
#define VX_GET_DATA_FORMAT 320       /* 4, int                                   */
#define VX_GET_CONTRAST 321          /* 4, float                                 */
#define VX_GET_BRIGHTNESS_OFFSET 322 /* 4, float                                 */
/* 999: 4 bytes, 1 before the first vxInitialize and 0 after it. */

/* ---- Depth functions (three values each: first, second, third place) -------------------- */
#define VX_DEPTHFUNC_SCAN 205         /* first: the bound is measured from the frame         */
#define VX_DEPTHFUNC_FIXED 206        /* first: the bound is the user depth bound            */
#define VX_DEPTHFUNC_SKIP_EXTREME 207 /* second: the measured bound skips the farthest depth */
#define VX_DEPTHFUNC_CLAMP 208        /* second: depths beyond the fixed bound are clamped   */
#define VX_DEPTHFUNC_NONE 209         /* second or third: no modifier                        */
#define VX_DEPTHFUNC_BLANK 210        /* third: pixels at or beyond the fixed bound go black */

/* ---- Depth scan methods (chosen by the pair of depth functions) ------------------------- */
#define VX_DEPTHSCAN_FIXED 200
#define VX_DEPTHSCAN_MIN_MAX 201
#define VX_DEPTHSCAN_SKIP_FARTHEST 202
#define VX_DEPTHSCAN_BLANK_FAR 203
#define VX_DEPTHSCAN_UNSUPPORTED 204

/* ---- Emulator display modes ------------------------------------------------------------- */
#define VX_EMU_DISPLAY_NONE 0
#define VX_EMU_DISPLAY_NORMAL 1
#define VX_EMU_DISPLAY_FLAT 2
#define VX_EMU_DISPLAY_INDIVIDUAL 3

/* Frame callback: receives the work buffer, whose first n words (n = the render region's pixel
 * count) hold the converted frame as plane words. What it leaves there is what the display
 * receives. */
typedef void (*VXframecallback)(unsigned int *words);

/* ======================================================================================== */
/* Library lifecycle and queries                                                            */
/* ======================================================================================== */

/* vxInitialize: opens the library. Resets every setting to its default (data format 75,
 * render mode 402 over the whole plane, flags 250 and 251 on, 253 off, gamma 3.0, contrast 1.0,
 * brightness 0.0, clip planes 1.0 and 100.0, depth scan method 201, no frame callback),
 * allocates the two scratch buffers and starts the emulator (window and emulated volume).
 *   bufferPixels: capacity of each scratch buffer in pixels; raised to one plane (765,952)
 *                 when smaller (zero and negative included), lowered to the whole volume
 *                 (15,319,040) when larger.
 * Returns VX_OK; VX_ERR_ALREADY_INITIALIZED when already initialised (nothing changes);
 * VX_ERR_NO_MEMORY when a scratch buffer cannot be allocated (the library stays
 * uninitialised, with the defaults applied). An emulator that cannot open its window reports
 * that in a message box; vxInitialize still succeeds. */
VX_API unsigned int vxInitialize(int bufferPixels);

/* vxShutdown: frees the scratch buffers, closes the emulator window and releases the emulated
 * volume. May be called at any time, also when not initialised. Settings keep their values
 * until the next vxInitialize. Returns VX_OK. */
VX_API unsigned int vxShutdown(void);

/* vxGlobalReset: has no effect with the emulated display. Returns VX_OK. */
VX_API unsigned int vxGlobalReset(void);

/* vxGetLastHardwareError: the emulated display has no hardware error; both arguments are
 * ignored and nothing is written. Binds the OpenGL entry points on the first call.
 * Returns VX_OK. */
VX_API unsigned int vxGetLastHardwareError(int a, int b);

/* vxGet: copies one setting into the caller's storage. The number of bytes written depends on
 * the id (see the VX_GET_ and VX_FLAG_ constants): 4 for ints and floats, 8 for the clip
 * planes, 1 for the 8-bit and 2 for the 16-bit depth bounds. Works in every state.
 *   id:  a query id (250, 251, 253, 300 to 322, 999).
 *   out: storage of the width the id names.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for an unknown id, for 252, and for a null out
 * (nothing written in any of these cases). */
VX_API unsigned int vxGet(unsigned int id, void *out);

/* ======================================================================================== */
/* Render modes, frames and display commands                                                */
/* ======================================================================================== */

/* vxSetRenderMode: chooses what the next frames cover and tells the display.
 *   mode 401 (sub plane): the rectangle x, y, width, height; z and depth are ignored.
 *   mode 402 (full plane): the whole 1024 x 748 plane; the coordinates are ignored.
 *   mode 403 (sub block): the box x, y, z, width, height, depth.
 *   mode 404 (full block): the whole volume; the coordinates are ignored.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for any other mode; VX_ERR_OUT_OF_RANGE for a region
 * that does not lie inside the volume or has an extent below 1 (0 <= x, x + width <= 1024,
 * 0 <= y, y + height <= 748, and for 403 0 <= z, z + depth <= 20). On an error nothing is
 * stored or sent. */
VX_API unsigned int vxSetRenderMode(int mode, int x, int y, int z, int width, int height,
                                    int depth);

/* vxRenderBuffer: converts one frame in the current data format for the current render region
 * and hands it to the display.
 *   data:        the region's pixels in the layout of the data format.
 *   depthBuffer: one 16-bit depth per pixel, for formats 68 to 71 (ignored otherwise). It is
 *                rewritten in place with the prepared depths; under depth scan method 203 cut
 *                pixels of data are also zeroed in place (formats 68 to 71).
 * Returns the conversion's status (VX_OK); VX_ERR_INVALID_FORMAT when the data format does not
 * go with the render mode or no valid mode is set; VX_ERR_DEPTH_SCAN_METHOD for formats 68 to
 * 73 under method 204; VX_ERR_UNKNOWN when the library is not initialised (no scratch
 * buffers); VX_ERR_INVALID_ARGUMENT for a null data pointer, or a null depthBuffer with
 * formats 68 to 71. On an error nothing is converted or sent. */
VX_API unsigned int vxRenderBuffer(const void *data, unsigned short *depthBuffer);

/* vxRender: vxSetRenderMode with the first seven arguments, then, if that succeeded,
 * vxRenderBuffer(data, depthBuffer). Returns the first failing status, else VX_OK. A failing
 * conversion leaves the new mode and region in place. */
VX_API unsigned int vxRender(int mode, int x, int y, int z, int width, int height, int depth,
                             const void *data, unsigned short *depthBuffer);

/* vxSwapBuffers: swaps the display's front and back plane stores. Returns VX_OK. */
VX_API unsigned int vxSwapBuffers(void);

/* vxClear: blanks both plane stores (two swaps with clear-on-swap on), then sends the earlier
 * clear-on-swap value again. Returns VX_OK. */
VX_API unsigned int vxClear(void);

/* vxSetFlag: sets a display switch; any nonzero value means on.
 *   250 swap-on-write, 251 clear-on-swap (both are sent to the display, also when unchanged),
 *   252 accepted without effect, 253 linearise depth (rebuilds the depth tables on a change).
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for another id. */
VX_API unsigned int vxSetFlag(int id, int value);

/* vxSetDataFormat: sets the data format of the next frames (68 to 81). Returns VX_OK;
 * VX_ERR_INVALID_FORMAT for another value (the format stays as it was). */
VX_API unsigned int vxSetDataFormat(unsigned int format);

/* vxGetDataFormatSize: the bytes per pixel of a data format id (68 to 101; 82 to 99 give 0,
 * 100 gives 1 and 101 gives 2, for the buffer helpers). Works in every state.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for another id or a null size (nothing written). */
VX_API unsigned int vxGetDataFormatSize(int format, int *size);

/* ======================================================================================== */
/* Depth mapping                                                                            */
/* ======================================================================================== */

/* vxSetNearFarClipPlanes: sets the clip planes that linearised depth is measured between and
 * rebuilds both depth tables. Near greater than far is accepted.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT when near < 0, far < 0 or near == far (nothing
 * changes). */
VX_API unsigned int vxSetNearFarClipPlanes(double nearPlane, double farPlane);

/* vxSetMinDepthFunc / vxSetMaxDepthFunc: set the near-bound or far-bound depth function
 * (first 205 or 206, second 207 to 209, third 209 or 210) and put the depth scan method that
 * the pair selects in force (200 to 204; an unsupported pair gives 204, which frame
 * conversion of formats 68 to 73 then refuses).
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a value outside its set (nothing changes). */
VX_API unsigned int vxSetMinDepthFunc(unsigned int first, unsigned int second,
                                      unsigned int third);
VX_API unsigned int vxSetMaxDepthFunc(unsigned int first, unsigned int second,
                                      unsigned int third);

/* vxSetMinDepths / vxSetMaxDepths (16-bit) and vxSetMinDepthz / vxSetMaxDepthz (8-bit): set
 * the user depth bounds that method 200 uses as the range and method 203 as the far cut.
 * Not checked against each other. Return VX_OK. */
VX_API unsigned int vxSetMinDepths(unsigned short depth);
VX_API unsigned int vxSetMinDepthz(unsigned char depth);
VX_API unsigned int vxSetMaxDepths(unsigned short depth);
VX_API unsigned int vxSetMaxDepthz(unsigned char depth);

/* ======================================================================================== */
/* Intensity and frame callback                                                             */
/* ======================================================================================== */

/* vxSetGammaFactor: sets the gamma of the intensity table every colour passes through.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a negative value (nothing changes). */
VX_API unsigned int vxSetGammaFactor(float gamma);

/* vxSetContrast: sets the contrast of the intensity table (any value). Returns VX_OK. */
VX_API unsigned int vxSetContrast(float contrast);

/* vxSetBrightnessOffset: sets the brightness offset of the intensity table (any value).
 * Returns VX_OK. */
VX_API unsigned int vxSetBrightnessOffset(float offset);

/* vxSetCallBackFunction: installs the frame callback that every plane conversion calls once
 * per frame with the converted words, before they go to the display; null removes it. The
 * callback runs on the caller's thread inside vxRenderBuffer and must not call the rendering
 * functions. vxInitialize removes any callback. Returns VX_OK. */
VX_API unsigned int vxSetCallBackFunction(VXframecallback callback);

/* vxSetHiddenCallBackFunction: a second name of vxSetCallBackFunction. Returns VX_OK. */
VX_API unsigned int vxSetHiddenCallBackFunction(VXframecallback callback);

/* ======================================================================================== */
/* Emulator                                                                                 */
/* ======================================================================================== */

/* vxEmuProcessMessages: processes the emulator window's pending events without blocking
 * (menu, resize, close). Returns 1 while running (also offscreen), 0 once the user has closed
 * the window, and 0 when the library is not initialised. */
VX_API int vxEmuProcessMessages(void);

/* vxEmuReadPlane: copies plane `plane` (0..19) of the front (store 0) or back (store 1) store
 * into rgb as 748 rows of 1024 pixels, 3 bytes each (red, green, blue), as the application
 * wrote them: with the image offset option on, row y is read through the view.
 *   rgb: room for 1024 x 748 x 3 bytes.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a bad store, plane or null rgb; VX_ERR_UNKNOWN when
 * the device has no stores (not initialised). */
VX_API unsigned int vxEmuReadPlane(int store, int plane, unsigned char *rgb);

/* vxEmuSaveSnapshot: writes the emulator's last drawn picture (the GL drawing area; 800 x 600
 * offscreen) as a PNG file.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for a null path; VX_ERR_FILE_OPEN when the file cannot
 * be created; VX_ERR_IMAGE_WRITE for a failed write; VX_ERR_NO_MEMORY when the picture cannot
 * be copied; VX_ERR_UNKNOWN when nothing has been drawn or the library is not initialised. */
VX_API unsigned int vxEmuSaveSnapshot(const char *path);

/* vxEmuSetMessageHandler: routes every message box of the emulator (caption, text) to handler;
 * null restores message boxes. */
VX_API void vxEmuSetMessageHandler(void (*handler)(const char *caption, const char *text));

/* vxEmuRunMenuCommand: runs a command of the emulator's menu as if the user had chosen it (also
 * offscreen), with its check marks.
 * Returns VX_OK; VX_ERR_INVALID_ARGUMENT for an id the menu does not handle and for "Exit"
 * (40036); VX_ERR_UNKNOWN when not initialised. */
VX_API unsigned int vxEmuRunMenuCommand(int id);

/* vxEmuSetCamera: places the camera: eye at (0, 0.25, eyeZ), the volume turned by the three
 * angles in degrees. Returns VX_OK; VX_ERR_UNKNOWN when not initialised. */
VX_API unsigned int vxEmuSetCamera(float eyeZ, float angleX, float angleY, float angleZ);

/* vxEmuSetOffscreen: chooses, before vxInitialize, whether the next start-up runs the emulator
 * offscreen even when a display exists (tools, CI, servers).
 * Returns VX_OK; VX_ERR_ALREADY_INITIALIZED while initialised. */
VX_API unsigned int vxEmuSetOffscreen(int on);

#ifdef __cplusplus
} /* extern "C" */

/* vxEmuUpdateDisplay: redraws the emulator window from the front store (polling the camera
 * keys first when keyboard shortcuts are on). Exported with C++ linkage. Returns 0. */
VX_API unsigned int vxEmuUpdateDisplay(void);
#endif

#endif /* VX_H */
